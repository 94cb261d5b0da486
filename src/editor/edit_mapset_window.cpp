#include "editor/edit_mapset_window.h"

#include "app/shared_resources.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_layout.h"
#include "editor/edit_messages.h"
#include "editor/mapset_rename.h"
#include "mapfile/map_file.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>

namespace oxlo::editor {

namespace {

constexpr int kWindow = 2;

enum Control : int {
    kNameLabel = 0,
    kNameField = 1,
    kNumberField = 2,
    kNumberLabel = 3,
    kEditButton = 5,
    kFrame = 6,
    kCancelButton = 7,
};

constexpr int kLowestCode = 100;
constexpr int kHighestCode = 200;

// Without its window the loop would wait for events that never come.
bool windowOpen = false;

void changeProductCode(catalogue::InstalledMapset& row, std::int32_t number) {
    if (number == row.id) return;
    if (number < kLowestCode || number > kHighestCode) {
        warnUser("Product code range limited to 100 - 200 by Oxlo. Please select a number between "
                 "100 and 200.");
        platform::setControlText(kNumberField, platform::textFromNumber(row.id));
        return;
    }
    // Only an existing index is patched (an edit never creates a file); a missing, read-only or
    // locked one is reported.
    if (mapfile::writeValueAtOffset(row.tdb, catalogue::kTdbProductCodeOffset, 0, number, "",
                                    "Value") == 0)
        warnUser("The product code could not be written to " + row.tdb + ".");
}

void editMapset(catalogue::InstalledMapset& row) {
    const std::string newName = platform::getControlText(kNameField);
    if (newName != row.name) renameMapset(row, newName);
    changeProductCode(row, platform::numberFromText(platform::getControlText(kNumberField)));
    platform::showMessage(kEditTitle, "Mapset edited.", platform::kMessageInfo);
}

} // namespace

void openEditMapsetWindow() {
    using platform::ControlKind;
    windowOpen = platform::openWindow(kWindow, 0, 0, 437, 162, kEditTitle,
                                      platform::kWindowTitleBar | platform::kWindowCentreActive) != 0;
    if (!windowOpen) return;

    platform::createControl(kNameLabel, ControlKind::Label, 20, 35, 120, 20, "Mapset Name");
    platform::setControlFont(kNameLabel, app::labelFont);
    platform::createControl(kNameField, ControlKind::Field, 140, 35, 265, 20, "");
    platform::createControl(kNumberField, ControlKind::Field, 140, 60, 40, 20, "",
                            platform::kControlDigitsOnly);
    platform::createControl(kNumberLabel, ControlKind::Label, 20, 60, 120, 20, "Family ID");
    platform::setControlFont(kNumberLabel, app::labelFont);
    platform::createControl(kEditButton, ControlKind::Button, 95, 110, 100, 35, "Edit Mapset");
    platform::createControl(kFrame, ControlKind::Frame, 10, 15, 410, 80, "Mapset Information ");
    platform::createControl(kCancelButton, ControlKind::Button, 230, 110, 100, 35, "Cancel");
}

void runEditMapsetWindow(int row) {
    if (!windowOpen) return;
    const bool rowValid = row >= 1 && row <= catalogue::kMaxMapsets;
    for (;;) {
        const platform::EventKind event = platform::waitWindowEvent();
        if (event == platform::EventKind::Close) break;
        if (event != platform::EventKind::Control) continue;
        const int control = platform::eventControl();
        if (control == kCancelButton) break;
        if (control == kEditButton) {
            if (rowValid) editMapset(catalogue::installedMapsets[row]);
            break;
        }
    }
    platform::closeWindow(kWindow);
    windowOpen = false;
}

} // namespace oxlo::editor
