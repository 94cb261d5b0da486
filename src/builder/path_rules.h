// How Create Mapset judges names and paths. Comparisons are the catalogue's (mapset_names.h), as
// Windows makes them.
#pragma once

#include "catalogue/mapset_names.h"

#include <string>

namespace oxlo::builder {

using catalogue::sameIgnoringCase;
using catalogue::samePath;

// True for a folder that does not depend on the current folder: a drive letter, a colon and a
// backslash ("C:\Maps"), or a share ("\\server\share...").
bool isFullFolderPath(const std::string& folder);

// The file name of `path` without its extension (from its last dot on).
std::string fileStem(const std::string& path);

} // namespace oxlo::builder
