// The Edit Mapset window (window 2): rename a mapset and change its product code.
#pragma once

namespace oxlo::editor {

void openEditMapsetWindow();
// Serves the window for catalogue row `row` (1-based) until it has closed.
void runEditMapsetWindow(int row);

} // namespace oxlo::editor
