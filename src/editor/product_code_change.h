// A new product code for a product row (forms "O" and "N"): the .TDB holds it and the entry moves
// to Products\CODE, so the two agree as MapSource expects; both change or neither.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "editor/edit_messages.h"

#include <cstdint>

namespace oxlo::editor {

// Refuses a code outside 100 to 200 or one registered to another mapset (the number field then
// shows the row's code again). A code that the .TDB holds already under another key moves the
// key alone. On success the row carries the new code and key.
StepOutcome changeProductCode(catalogue::InstalledMapset& row, std::int64_t number);

} // namespace oxlo::editor
