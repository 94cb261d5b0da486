// The context menu of the main list: commands on the selected row, each also taken as a menu
// command (WM_COMMAND) sent to the main window with its number.
#pragma once

#include "platform/ui.h"

#include <vector>

namespace oxlo::catalogue {

inline constexpr int kCheckMapsetCommand = 40001;
inline constexpr int kOpenFolderCommand = 40002;
inline constexpr int kLocateFolderCommand = 40003;
inline constexpr int kRemoveEntryCommand = 40004;
inline constexpr int kFixTypCommand = 40005;
inline constexpr int kSaveEntryCommand = 40006;
inline constexpr int kInstallMapsetCommand = 40007; // needs no row
// Run by the main window (builder/bundle_export.h), which owns mkgmap's path.
inline constexpr int kExportBundleCommand = 40008;
// Run by the main window, whose title shows the progress (catalogue/mapset_move.h).
inline constexpr int kMoveMapsetCommand = 40009;
inline constexpr int kSaveForGpsCommand = 40010; // builder/gps_save.h, as the export

// The menu for catalogue row `row` (1-based; 0: none selected, every item but "Install Mapset..."
// greyed). "Install Mapset..." comes first, then a separator (command 0).
std::vector<platform::MenuItem> mapsetMenu(int row);

// Runs `command` on row `row`; a command that is not one of the menu's, or one that needs a row
// without one, does nothing.
void runMapsetCommand(int command, int row);

} // namespace oxlo::catalogue
