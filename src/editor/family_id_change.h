// A new family ID for a family row (form "F"), written into every word that holds the old one:
// the family's registry value "ID", the .TDB, the records of the registered .mdx address index
// that name the family (an index made for several families keeps the others' records), and the
// registered TYP file wherever it lies. A file that another entry registers too is refused. All of them
// change or none.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "editor/edit_messages.h"

#include <cstdint>

namespace oxlo::editor {

// Refuses an ID outside 1 to 65534 or one used by another family or a BaseCamp bundle (the
// number field then shows the row's ID again). The files change first and the registry last; a
// TYP file gets its copy NAME.typ.bak first unless it has one. On success the row carries the new
// ID.
StepOutcome changeFamilyId(catalogue::InstalledMapset& row, std::int64_t number);

} // namespace oxlo::editor
