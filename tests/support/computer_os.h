#pragma once

// What TestComputer asks of the system it runs on; one file per system.

#include <cstdint>
#include <filesystem>
#include <string>

namespace lumbrel_test::computer_os {

// Natively tests make prefixes of their own; under Wine they run inside one.
bool OwnsWholeDrives();
unsigned ProcessId();
// Natively: a new empty prefix folder, made this process's WINEPREFIX (the
// previous value kept in `saved`); under Wine: "".
std::string EnterNewPrefix(std::string& saved, bool& had_saved);
void LeavePrefix(const std::string& saved, bool had_saved);
// Where the Windows path `windows_path` is for the system's own calls, given
// the private prefix folder (unused under Wine).
std::filesystem::path Host(const std::string& prefix, const std::string& windows_path);
// Sets exactly these of read-only (1), hidden (2) and system (4).
void SetAttributes(const std::filesystem::path& path, int32_t attributes);
bool MakeLink(const std::filesystem::path& link, const std::filesystem::path& target);
// Removes a file, a link or a whole folder at any depth and path length,
// whatever marks they carry; a link goes, never what it leads to.
void RemoveAll(const std::filesystem::path& path);

}  // namespace lumbrel_test::computer_os
