// Windows paths on a POSIX host: the portable platform maps every drive onto a folder of one
// host root, "C:\Garmin\x" -> <root>/C/Garmin/x. Names are kept as given when created; looking up
// an existing entry ignores letter case, as Windows does. Relative paths and "\x" resolve against
// the platform's own current folder, which starts as "C:\" and is never the host's.
#pragma once

#include <filesystem>
#include <string>

namespace oxlo::platform {

// Chooses the host folder that holds the drives (created with its drive "C" when missing) and
// resets the current folder to "C:\". Without a call, a fresh temporary folder is used.
void setHostRoot(const std::filesystem::path& root);
std::filesystem::path hostRoot();

// The host path for a Windows path (absolute, drive-relative or relative).
std::filesystem::path hostPathOf(const std::string& windowsPath);

// The host path where a new entry named by the last part of `windowsPath` goes: the parent is
// looked up ignoring case, the new name is kept as written.
std::filesystem::path hostPathForNew(const std::string& windowsPath);

// The absolute Windows form of a path: drive letter upper-cased, "." and ".." resolved,
// separators made backslashes, no trailing backslash except after the drive ("C:\").
std::string fullWindowsPath(const std::string& windowsPath);

// The current folder in the form of fullWindowsPath.
std::string currentWindowsFolder();
void setCurrentWindowsFolder(const std::string& fullPath);

} // namespace oxlo::platform
