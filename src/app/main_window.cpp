#include "app/main_window.h"

#include "builder/bundle_export.h"
#include "builder/gps_save.h"
#include "resources/shared_resources.h"
#include "builder/create_mapset_window.h"
#include "catalogue/bundle_commands.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/mapset_move.h"
#include "catalogue/uninstall.h"
#include "editor/edit_mapset_window.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::app {

std::int32_t selectedRow = 0;

namespace {

constexpr int kMainWindow = 0;
constexpr const char* kMainWindowTitle = "Oxlo by Oxlo contributors";
constexpr int kClientWidth = 460;
constexpr int kClientHeight = 244;

struct ButtonLayout {
    int number;
    int y;
    const char* caption;
    const char* toolTip;
};

// The buttons stand in one column right of the list, 40 pixels apart.
constexpr ButtonLayout kButtons[] = {
    {kRefreshButton, 35, "&Refresh", "Update mapset list"},
    {kNewButton, 75, "&New", "Create new mapset"},
    {kEditButton, 115, "&Edit", "Edit mapset information"},
    {kUninstallButton, 155, "&Uninstall", "Uninstall Mapset"},
    {kQuitButton, 195, "&Quit", "Quit Oxlo"},
};

constexpr const char* kOnlyOneMapsetLeft =
    "There is only one mapset left. If you uninstall the final mapset, Mapsource will be unable "
    "to load until a new mapset has been installed. Do you wish to continue?";

// Task windows reuse the main window's control numbers, so the main window comes back only by
// building it again; its list then shows the registry as the task left it.
bool rebuildMainWindow()
{
    if (!buildMainWindow()) {
        return false;
    }
    catalogue::scanInstalledMapsets();
    return true;
}

// The task window has taken the main window's control numbers; the main window goes off the
// screen rather than stand there without its controls until it is built anew.
void hideMainWindowForTask()
{
    platform::hideWindow(kMainWindow);
}

bool runNewMapsetTask()
{
    builder::openCreateMapsetWindow();
    hideMainWindowForTask();
    builder::setCreationMode(true);
    builder::setAttributePanelHidden(true);
    builder::runCreateMapsetWindow(resources::compilerPath, resources::previewPath,
                                   resources::mkgmapPath);
    return rebuildMainWindow();
}

bool runEditTask()
{
    if (selectedRow == 0) {
        platform::showMessage("Edit Mapset", "Please select a mapset to edit.",
                              platform::kMessageWarning);
        return true;
    }
    if (catalogue::refuseBundleEdit(selectedRow)) return true;
    const catalogue::InstalledMapset& row = catalogue::installedMapsets[selectedRow];
    editor::openEditMapsetWindow();
    hideMainWindowForTask();
    platform::setControlText(1, row.name);
    platform::setControlText(2, platform::textFromNumber(row.id));
    editor::runEditMapsetWindow(selectedRow);
    return rebuildMainWindow();
}

void runUninstallTask()
{
    if (selectedRow == 0) {
        platform::showMessage("Uninstall Mapset", "Please select a mapset to uninstall.",
                              platform::kMessageWarning);
        return;
    }
    if (catalogue::mapsetCount == 1 &&
        platform::showMessage("Uninstall Mapset", kOnlyOneMapsetLeft,
                              platform::kMessageWarningYesNo) != platform::kAnswerYes) {
        return;
    }
    // The uninstall asks its own confirmation and rescans by itself.
    catalogue::uninstallMapset(selectedRow);
}

// Edit works on the selected row, so it can be pressed exactly while a row is selected.
void enableEditForSelection()
{
    platform::disableControl(kEditButton, platform::getControlState(kMainList) < 0 ? 1 : 0);
}

// A move's progress in the main window's title, painted while the copying blocks the loop.
catalogue::MoveProgress titleProgress()
{
    return {[](const std::string& line) {
                platform::setWindowTitle(kMainWindow, line);
                platform::keepWindowsPainted();
            },
            [] { platform::setWindowTitle(kMainWindow, kMainWindowTitle); }};
}

} // namespace

bool buildMainWindow()
{
    using platform::ControlKind;
    constexpr unsigned frame = platform::kWindowTitleBar | platform::kWindowSystemMenu |
                               platform::kWindowMinimizeBox | platform::kWindowCentreScreen;
    if (platform::openWindow(kMainWindow, 0, 0, kClientWidth, kClientHeight,
                             kMainWindowTitle, frame) == 0) {
        return false;
    }

    platform::createControl(kCountLabel, ControlKind::Label, 15, 15, 280, 20, "Installed Mapsets:");
    platform::setControlFont(kCountLabel, resources::buttonFont);

    platform::createControl(kMainList, ControlKind::ReportList, 15, 35, 330, 190, "");
    platform::addListColumn(kMainList, 0, "FID/CODE", 75);
    platform::addListColumn(kMainList, 1, "Name", 250);

    for (const ButtonLayout& button : kButtons) {
        platform::createControl(button.number, ControlKind::Button, 360, button.y, 85, 30,
                                button.caption);
        platform::setControlFont(button.number, resources::buttonFont);
        platform::setToolTip(button.number, button.toolTip);
    }
    platform::disableControl(kEditButton, 1); // the list starts without a selection
    platform::acceptDroppedFiles(kMainWindow); // a downloaded mapset dropped on it is installed
    return true;
}

MainLoopEnd runMainLoop()
{
    for (;;) {
        const platform::EventKind event = platform::waitWindowEvent();
        if (event == platform::EventKind::Close) {
            return MainLoopEnd::Quit;
        }
        const bool menuAsked = event == platform::EventKind::ContextMenu &&
                               platform::eventControl() == kMainList;
        if (event == platform::EventKind::Drop) {
            catalogue::installDroppedMapsets(platform::droppedFiles());
            enableEditForSelection(); // an install rescans and selects its row
            continue;
        }
        if (event != platform::EventKind::Control && event != platform::EventKind::Command &&
            !menuAsked) {
            continue;
        }

        selectedRow = platform::getControlState(kMainList) + 1;
        if (selectedRow < 0 || selectedRow > catalogue::kMaxMapsets) {
            selectedRow = 0; // not a catalogue slot: treat as no selection rather than overrun
        }
        if (event != platform::EventKind::Control) {
            const int command = menuAsked ? platform::showContextMenu(catalogue::mapsetMenu(selectedRow))
                                          : platform::eventCommand();
            if (command == catalogue::kExportBundleCommand) {
                builder::exportBundle(selectedRow, resources::mkgmapPath, kMainWindow, kMainWindowTitle);
            } else if (command == catalogue::kMoveMapsetCommand) {
                catalogue::moveMapset(selectedRow, titleProgress());
            } else if (command == catalogue::kSaveForGpsCommand) {
                builder::saveForGps(selectedRow, resources::mkgmapPath, kMainWindow,
                                    kMainWindowTitle);
            } else if (command != 0) {
                catalogue::runMapsetCommand(command, selectedRow);
            }
            enableEditForSelection(); // a command may have rescanned
            continue;
        }
        const int control = platform::eventControl();
        switch (control) {
        case kRefreshButton:
            catalogue::scanInstalledMapsets();
            break;
        case kNewButton:
            if (!runNewMapsetTask()) {
                return MainLoopEnd::MainWindowLost;
            }
            break;
        case kEditButton:
            if (!runEditTask()) {
                return MainLoopEnd::MainWindowLost;
            }
            break;
        case kUninstallButton:
            runUninstallTask();
            break;
        case kQuitButton:
            return MainLoopEnd::Quit;
        default:
            break;
        }
        // A selection change, a rescan (which empties the selection) or a rebuilt window.
        enableEditForSelection();
    }
}

} // namespace oxlo::app
