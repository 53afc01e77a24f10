#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/windows/win32.h"

namespace {

constexpr wchar_t kPlanted[] = L"lumbrel_planted.dll";

// The planted library lies beside this test, where an unhardened process
// looks first: it loads by name until the process is hardened, then no more.
TEST(HardenProcessTest, LoadsLibrariesByNameFromTheSystemFolderOnly) {
  HMODULE before = LoadLibraryW(kPlanted);
  ASSERT_NE(before, nullptr) << "the planted library should be found beside the test";
  FreeLibrary(before);
  ASSERT_EQ(GetModuleHandleW(kPlanted), nullptr);

  platform::HardenProcess();

  EXPECT_EQ(LoadLibraryW(kPlanted), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  HMODULE system = LoadLibraryW(L"version.dll");
  EXPECT_NE(system, nullptr);
  if (system != nullptr) FreeLibrary(system);
}

}  // namespace
