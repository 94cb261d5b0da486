// A new family ID for a family row (form "F"), written into every place that holds it: the
// family's registry value "ID", the .TDB, each record of the registered .mdx address index, and
// the registered TYP file when it lies in the mapset folder (a TYP elsewhere may serve other
// families). All of them change or none.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "editor/edit_messages.h"

#include <cstdint>

namespace oxlo::editor {

// Refuses an ID outside 1 to 65534 or one used by another family (the number field then shows
// the row's ID again). The files change first and the registry last; a TYP file gets its copy
// NAME.typ.bak first unless it has one. On success the row carries the new ID.
StepOutcome changeFamilyId(catalogue::InstalledMapset& row, std::int32_t number);

} // namespace oxlo::editor
