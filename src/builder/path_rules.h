// How Create Mapset compares and judges names and paths: as Windows does, without regard to
// letter case.
#pragma once

#include <string>
#include <string_view>

namespace oxlo::builder {

bool sameIgnoringCase(std::string_view a, std::string_view b);

// True for a folder that does not depend on the current folder: a drive letter, a colon and a
// backslash ("C:\Maps"), or a share ("\\server\share...").
bool isFullFolderPath(const std::string& folder);

// The file name of `path` without its extension (from its last dot on).
std::string fileStem(const std::string& path);

// Whether two paths name the same file for Windows: letter case and doubled or trailing
// backslashes aside.
bool samePath(const std::string& a, const std::string& b);

} // namespace oxlo::builder
