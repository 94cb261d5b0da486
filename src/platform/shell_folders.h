// The shell's folders and the Recycle Bin, for BaseCamp bundles: where they are kept, which
// bundle folders are there, and taking one away so that the user can bring it back.
#pragma once

#include <string>
#include <vector>

namespace oxlo::platform {

enum class KnownFolder {
    ProgramData,    // %ProgramData%, data of programs for all users
    RoamingAppData, // %APPDATA%, one user's roaming program data
    Documents,      // the user's Documents
};

// The folder's path, without a trailing backslash; empty when the system cannot tell. Win32 asks
// SHGetKnownFolderPath; the portable platform names fixed folders below its C: drive
// ("C:\ProgramData", "C:\Users\oxlo\AppData\Roaming", "C:\Users\oxlo\Documents"), made on
// first use.
std::string knownFolderPath(KnownFolder folder);

// The names of the folders (not files) directly in `folder` that match `pattern` ("*" and "?",
// letter case ignored), in no particular order; none for a missing folder. `listed` (when given)
// is false when the folder could not be read to its end.
std::vector<std::string> listFolders(const std::string& folder, const std::string& pattern,
                                     bool* listed = nullptr);

enum class Recycling {
    done,         // gone from its place, in the Recycle Bin
    noRecycleBin, // the Recycle Bin cannot take it (none on that drive, turned off): untouched
    failed,       // it stays where it was
};

// Moves the file or folder `path` (with everything in it) to the Recycle Bin, asking nothing and
// showing nothing, and never deleting it for good instead. Windows takes a folder as a whole;
// the portable platform moves it into C:\$Recycle.Bin in one rename.
Recycling moveToRecycleBin(const std::string& path);

// True when `path` is a symbolic link, junction or other reparse point.
bool isLink(const std::string& path);

// Deletes `folder` with its files and subfolders for good; a link, `folder` itself or one inside
// it, is removed as a link and what it points to stays. 1 when it is gone; 0 when something
// stayed (what could be deleted is gone all the same).
int deleteFolderTree(const std::string& folder);

// `path` as a program started by runProgram reads it in a file it is given (its command line is
// translated for it, a file's content is not): on Windows the path itself, on the portable
// platform, which runs host programs, the host's path.
std::string pathForOutsideProgram(const std::string& path);

} // namespace oxlo::platform
