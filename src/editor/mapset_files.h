// The two files a mapset is named by in its folder (the overview map and the .TDB index), renamed
// together or not at all.
#pragma once

#include <string>

namespace oxlo::editor {

std::string overviewMapPath(const std::string& loc, const std::string& name); // loc\name.IMG
std::string indexPath(const std::string& loc, const std::string& name);       // loc\name.TDB

// Renames name.IMG and name.TDB in `loc` to newName.IMG and newName.TDB. Refuses (false, nothing
// touched) unless both files exist under the old name and neither exists under the new one; a
// change of letter case only is done through a temporary name, since the "new" files are then the
// old ones. When the second rename fails the first is undone, so either both files carry the new
// name or both still carry the old one.
bool renameMapsetFiles(const std::string& loc, const std::string& name, const std::string& newName);

} // namespace oxlo::editor
