// Renaming an installed mapset: its overview map and .TDB in its folder, the name stored in the
// .TDB and its registration change together or not at all.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "editor/edit_messages.h"

#include <string>

namespace oxlo::editor {

// Renames the row's mapset to `newName`; on success the row carries the new name, .TDB, overview
// map and key. A name
// that cannot be taken is refused with a message before anything changes. A step that fails
// undoes the steps before it and says that the mapset was not renamed; when the undo fails too,
// the message says what to check.
StepOutcome renameMapset(catalogue::InstalledMapset& row, const std::string& newName);

} // namespace oxlo::editor
