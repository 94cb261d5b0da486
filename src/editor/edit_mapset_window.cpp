#include "editor/edit_mapset_window.h"

namespace oxlo::editor {

void openEditMapsetWindow() {}
void runEditMapsetWindow(int) {}

} // namespace oxlo::editor
