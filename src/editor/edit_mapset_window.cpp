#include "editor/edit_mapset_window.h"

#include "resources/shared_resources.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_layout.h"
#include "editor/edit_controls.h"
#include "editor/edit_messages.h"
#include "editor/mapset_edit.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>

namespace oxlo::editor {

namespace {

constexpr int kWindow = 2;

// Without its window the loop would wait for events that never come.
bool windowOpen = false;

} // namespace

void openEditMapsetWindow() {
    using platform::ControlKind;
    windowOpen = platform::openWindow(kWindow, 0, 0, 437, 162, kEditTitle,
                                      platform::kWindowTitleBar | platform::kWindowCentreActive) != 0;
    if (!windowOpen) return;

    platform::createControl(kNameLabel, ControlKind::Label, 20, 35, 120, 20, "Mapset Name");
    platform::setControlFont(kNameLabel, resources::labelFont);
    platform::createControl(kNameField, ControlKind::Field, 140, 35, 265, 20, "");
    platform::createControl(kNumberField, ControlKind::Field, 140, 60, 40, 20, "",
                            platform::kControlDigitsOnly);
    platform::createControl(kNumberLabel, ControlKind::Label, 20, 60, 120, 20, "Family ID");
    platform::setControlFont(kNumberLabel, resources::labelFont);
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
            if (rowValid)
                editMapset(catalogue::installedMapsets[row], platform::getControlText(kNameField),
                           platform::wholeNumberFromText(platform::getControlText(kNumberField)));
            break;
        }
    }
    platform::closeWindow(kWindow);
    windowOpen = false;
}

} // namespace oxlo::editor
