// Uninstalling one catalogue row: its registry key and, on request, its files.
#pragma once

namespace oxlo::catalogue {

// Asks for confirmation, deletes the row's key, rescans, offers to delete the mapset's files and
// reports the outcome. `row` is 1-based.
void uninstallMapset(int row);

} // namespace oxlo::catalogue
