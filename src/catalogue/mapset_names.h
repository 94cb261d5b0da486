// How Windows compares the names and paths of mapsets: the catalogue's key names, folders and
// files are found and matched by these. What a name or a path may be is name_rules.h's.
#pragma once

#include <optional>
#include <string>

namespace oxlo::catalogue {

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
