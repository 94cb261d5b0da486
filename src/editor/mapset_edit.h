// What the Edit Mapset window's button does, apart from reading the window's fields: a new name,
// then a new number, each refused or undone with its own message, and "Mapset edited." only
// when both went through.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "editor/edit_messages.h"

#include <cstdint>
#include <string>

namespace oxlo::editor {

// `number` is the family ID of a family row and the product code of a product row; the row's
// own name and number change nothing. Gives Done only when the success message was shown.
StepOutcome editMapset(catalogue::InstalledMapset& row, const std::string& newName,
                       std::int64_t number);

} // namespace oxlo::editor
