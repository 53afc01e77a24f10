#include "platform/unix/entry_attributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_system.h"

namespace platform::posix {
namespace {

TEST(DosAttrib, ParsesHexText) {
  EXPECT_EQ(ParseDosAttrib("0x2"), 2);
  EXPECT_EQ(ParseDosAttrib("0x26"), 0x26);
  EXPECT_EQ(ParseDosAttrib("0X6"), 6);
  EXPECT_EQ(ParseDosAttrib("0xaB"), 0xAB);
  // What a file server writes: the text, a NUL, then binary data.
  EXPECT_EQ(ParseDosAttrib(std::string_view("0x4\0\x01\x02", 6)), 4);
}

TEST(DosAttrib, IgnoresAnyOtherText) {
  for (std::string_view text :
       {"", "0x", "2", "x2", "0x2g", " 0x2", "0x2 ", "0x123456789", "hidden"}) {
    EXPECT_EQ(ParseDosAttrib(text), -1) << text;
  }
}

class EntryAttributesTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumbrel-attr-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string MakeFile(const std::string& name) {
    std::string path = folder_ + "/" + name;
    std::ofstream(path) << "x";
    return path;
  }
  // False where the file system keeps no extended attributes.
  static bool Mark(const std::string& path, const char* value) {
    return setxattr(path.c_str(), kDosAttribute, value, std::char_traits<char>::length(value), 0) ==
           0;
  }

  std::string folder_;
};

TEST_F(EntryAttributesTest, PlainFileFolderAndReadOnly) {
  std::string file = MakeFile("plain.txt");
  EXPECT_EQ(EntryAttributes(file, "plain.txt", false), kAttrArchive);
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(EntryAttributes(file, "plain.txt", false), kAttrArchive | kAttrReadOnly);
  ASSERT_EQ(chmod(file.c_str(), 0464), 0);  // any write bit is enough
  EXPECT_EQ(EntryAttributes(file, "plain.txt", false), kAttrArchive);
  EXPECT_EQ(EntryAttributes(folder_, "", false), kAttrDirectory);
  EXPECT_EQ(EntryAttributes(folder_ + "/none", "none", false), -1);
}

TEST_F(EntryAttributesTest, HiddenAndSystemFromTheStoredAttribute) {
  std::string file = MakeFile("doc.txt");
  if (!Mark(file, "0x2")) GTEST_SKIP() << "no extended attributes here";
  EXPECT_EQ(EntryAttributes(file, "doc.txt", false), kAttrArchive | kAttrHidden);
  ASSERT_TRUE(Mark(file, "0x24"));  // archive bits stored there do not add up
  EXPECT_EQ(EntryAttributes(file, "doc.txt", false), kAttrArchive | kAttrSystem);
  ASSERT_TRUE(Mark(file, "junk"));
  EXPECT_EQ(EntryAttributes(file, "doc.txt", false), kAttrArchive);
}

TEST_F(EntryAttributesTest, DotNamesAreHiddenUnlessTheAttributeSaysOtherwise) {
  std::string file = MakeFile(".profile");
  EXPECT_EQ(EntryAttributes(file, ".profile", false), kAttrArchive | kAttrHidden);
  if (!Mark(file, "0x0")) GTEST_SKIP() << "no extended attributes here";
  EXPECT_EQ(EntryAttributes(file, ".profile", false), kAttrArchive);
  ASSERT_TRUE(Mark(file, "bad"));
  EXPECT_EQ(EntryAttributes(file, ".profile", false), kAttrArchive | kAttrHidden);
}

TEST_F(EntryAttributesTest, LinksDescribeTheirTargetAndLinksThatLeadNowhere) {
  std::string file = MakeFile("target.txt");
  std::string to_file = folder_ + "/to-file";
  std::string to_folder = folder_ + "/to-folder";
  std::string dangling = folder_ + "/dangling";
  ASSERT_EQ(symlink(file.c_str(), to_file.c_str()), 0);
  ASSERT_EQ(symlink(folder_.c_str(), to_folder.c_str()), 0);
  ASSERT_EQ(symlink((folder_ + "/gone").c_str(), dangling.c_str()), 0);
  EXPECT_EQ(EntryAttributes(to_file, "to-file", true), kAttrArchive | kAttrAlias);
  EXPECT_EQ(EntryAttributes(to_folder, "to-folder", true), kAttrDirectory | kAttrAlias);
  EXPECT_EQ(EntryAttributes(dangling, "dangling", true) & (kAttrAlias | kAttrDirectory),
            kAttrAlias);
}

}  // namespace
}  // namespace platform::posix
