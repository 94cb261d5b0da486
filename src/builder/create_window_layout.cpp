// Window 1 and its 29 controls, and the two switches that hide and show parts of it.
#include "builder/compiler_choice.h"
#include "builder/create_mapset_window.h"
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "resources/shared_resources.h"
#include "platform/ui.h"

namespace oxlo::builder {

bool attributePanelShown = false;
bool createWindowOpen = false;

namespace {

using platform::ControlKind;

struct ControlLayout {
    int number;
    ControlKind kind;
    const char* caption;
    int x, y, width, height;
    const char* toolTip;
    unsigned options;
    bool labelFont;
};

// In creation order; the order is part of the layout because tab order and z-order follow it.
constexpr ControlLayout kControls[] = {
    {kMapList, ControlKind::ListBox, "", 25, 110, 355, 135, "", 0, false},
    {kSelectMapsButton, ControlKind::Button, "Select Maps", 390, 110, 80, 30,
     "Add maps to list. Hold Ctrl key while clicking for multiple selection", 0, false},
    {kDeleteMapButton, ControlKind::Button, "Delete Map", 390, 145, 80, 30,
     "Remove the selected map from list", 0, false},
    {kNameLabel, ControlKind::Label, "Mapset Name", 25, 255, 120, 20, "", 0, true},
    {kNameField, ControlKind::Field, "", 160, 255, 310, 20, "", 0, false},
    {kFolderLabel, ControlKind::Label, "Mapset Folder", 25, 280, 120, 20, "", 0, true},
    {kFolderField, ControlKind::Field, "", 160, 280, 285, 20, "", 0, false},
    {kFolderButton, ControlKind::Button, "...", 445, 280, 25, 20, "", 0, true},
    {kFamilyIdLabel, ControlKind::Label, "Family ID", 25, 305, 120, 20, "", 0, true},
    {kFamilyIdField, ControlKind::Field, "", 160, 305, 40, 20, "6000 - 7000",
     platform::kControlDigitsOnly, false},
    {kTypLabel, ControlKind::Label, "TYP File (optional)", 25, 330, 135, 20, "", 0, true},
    {kTypButton, ControlKind::Button, "...", 445, 330, 25, 20, "", 0, true},
    {kInformationFrame, ControlKind::Frame, "Mapset Information ", 15, 90, 470, 275, "", 0, false},
    {kCancelButton, ControlKind::Button, "Cancel", 280, 380, 130, 40, "", 0, false},
    {kModeFrame, ControlKind::Frame, "Mode ", 15, 5, 200, 75, "", 0, false},
    {kAutoToggle, ControlKind::Toggle, "Auto", 25, 25, 80, 40,
     "Simple mapset creation mode for beginners", 0, false},
    {kCustomToggle, ControlKind::Toggle, "Custom", 120, 25, 80, 40,
     "Custom mapset creation mode for advanced users", 0, false},
    {kClearListButton, ControlKind::Button, "Clear List", 390, 180, 80, 30, "Clear entire list", 0,
     false},
    {kTypField, ControlKind::Field, "", 160, 330, 285, 20, "", 0, false},
    {kCreateButton, ControlKind::Button, "Create Mapset", 90, 380, 130, 40, "", 0, false},
    {kMapAttributeButton, ControlKind::Button, "Map Attribute", 390, 215, 80, 30,
     "Toggle map attribute display", 0, false},
    {kAttributeFrame, ControlKind::Frame, "Map Attribute ", 280, 5, 205, 75, "", 0, false},
    {kPriorityLabel, ControlKind::Label, "Draw Priority", 290, 25, 60, 20, "",
     platform::kControlCentred, false},
    {kTransparentLabel, ControlKind::Label, "Transparent", 390, 25, 60, 20, "", 0, false},
    {kPriorityField, ControlKind::Field, "", 355, 25, 25, 20,
     "1 - 31. Map with higher priority covers those with lower priority",
     platform::kControlDigitsOnly, false},
    {kTransparentBox, ControlKind::CheckBox, "", 455, 25, 20, 20, "Check to make map transparent",
     0, false},
    {kSaveAttributeButton, ControlKind::Button, "Save", 390, 50, 80, 25, "Save map attribute", 0,
     false},
    // Beside the Family ID field, shown in both modes.
    {kCompilerLabel, ControlKind::Label, "Compiler", 220, 305, 80, 20, "", 0, true},
    {kCompilerList, ControlKind::DropDown, "", 310, 305, 160, 20,
     "Program that builds the mapset's index and overview map", 0, false},
};

constexpr int kCustomOnlyControls[] = {kFolderLabel,  kFolderField, kFolderButton,
                                       kFamilyIdLabel, kFamilyIdField, kTypLabel,
                                       kTypButton,     kTypField,      kMapAttributeButton};

constexpr int kAttributePanelControls[] = {kAttributeFrame, kPriorityLabel, kTransparentLabel,
                                           kTransparentBox, kPriorityField, kSaveAttributeButton};

} // namespace

void openCreateMapsetWindow() {
    // The given position only matters when there is no active window to centre over.
    const unsigned flags =
        platform::kWindowTitleBar | platform::kWindowSystemMenu | platform::kWindowCentreActive;
    createWindowOpen =
        platform::openWindow(kCreateWindow, 352, 243, 503, 432, kCreateWindowTitle, flags) != 0;
    if (!createWindowOpen) return;
    for (const ControlLayout& control : kControls) {
        platform::createControl(control.number, control.kind, control.x, control.y,
                                control.width, control.height, control.caption, control.options);
        if (control.labelFont) platform::setControlFont(control.number, resources::labelFont);
        if (control.toolTip[0] != '\0') platform::setToolTip(control.number, control.toolTip);
    }
    addCompilerEntries();
}

void setCreationMode(bool automatic) {
    platform::setControlState(kAutoToggle, automatic ? 1 : 0);
    platform::setControlState(kCustomToggle, automatic ? 0 : 1);
    for (const int control : kCustomOnlyControls) platform::hideControl(control, automatic ? 1 : 0);
}

void setAttributePanelHidden(bool hidden) {
    attributePanelShown = !hidden;
    for (const int control : kAttributePanelControls) platform::hideControl(control, hidden ? 1 : 0);
}

} // namespace oxlo::builder
