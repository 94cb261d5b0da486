// The Edit Mapset window (window 2): rename a mapset and change its product code (product rows)
// or family ID (family rows).
#pragma once

namespace oxlo::editor {

// Opens window 2 with its controls; creates no controls when the window cannot be opened. The
// caller then puts the row's name into control 1 and its number into control 2.
void openEditMapsetWindow();
// Serves the window for catalogue row `row` (1-based) until it has closed. Returns at once when
// the window could not be opened.
void runEditMapsetWindow(int row);

} // namespace oxlo::editor
