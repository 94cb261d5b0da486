// Which mapset names can be used: a mapset's name becomes its folder and its file names, and both
// the Create Mapset and the Edit Mapset windows refuse a name that Windows would not take as one.
#pragma once

#include <optional>
#include <string>

namespace oxlo::catalogue {

// True when `name` can be the last part of a folder path: not empty, not "." or "..", free of
// \ / < > : " | ? * and control characters, and not ending in a dot or a blank (Windows would
// silently drop those, so the folder would get another name than the registry records), and not
// a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case, with or without an
// extension), which names a device rather than a folder anywhere on the machine.
bool isUsableFolderName(const std::string& name);

// True when the two names are the same apart from letter case, in any script: Windows compares
// file names and registry key names so, and takes the one for the other.
bool sameIgnoringCase(const std::string& a, const std::string& b);

// Whether two paths name the same file or folder for Windows: letter case and doubled or
// trailing backslashes aside.
bool samePath(const std::string& a, const std::string& b);

// `path` once the folder `oldFolder` has moved to `newFolder`: `newFolder` itself for the folder,
// the file's new path for a file directly in it, nothing for a path elsewhere. Either folder may
// be a drive root ("Q:\"), which gives "F:\Alps.TDB", never a doubled backslash.
std::optional<std::string> pathMovedTo(const std::string& path, const std::string& oldFolder,
                                       const std::string& newFolder);

} // namespace oxlo::catalogue
