// Whole files read around the services under test, to check what an operation left on disk.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace oxlo::testing {

// The bytes of a host file; nothing when it is missing or not a regular file.
std::optional<std::string> readWholeFile(const std::filesystem::path& hostFile);
// The same for a Windows path of the test platform.
std::optional<std::string> readWholeWindowsFile(const std::string& windowsPath);

} // namespace oxlo::testing
