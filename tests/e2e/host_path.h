#pragma once

// Set-up and checks outside the test tree go through the system's own calls,
// never through the layer under test; this names the host's path for them.

#include <filesystem>
#include <string>

namespace lumbrel_test {

// The host's path of `windows_path` ("C:\Program Files\x"): the path itself on
// Windows; natively the folder behind the drive in $WINEPREFIX/dosdevices.
std::filesystem::path HostPath(const std::string& windows_path);

}  // namespace lumbrel_test
