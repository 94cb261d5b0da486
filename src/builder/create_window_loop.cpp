// The event loop of the Create Mapset window: one case per control that acts.
#include "builder/compiler_choice.h"
#include "builder/create_mapset_window.h"
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::builder {

namespace {

void chooseBaseFolder(CreateWindowState& state) {
    // A cancelled chooser forgets the earlier folder, so the name falls back to the Auto folder.
    state.chosenBaseFolder = platform::choosePath("Please choose your path", "C:\\Garmin");
    if (!state.chosenBaseFolder.empty())
        platform::setControlText(kFolderField, state.chosenBaseFolder);
}

void followNameInFolderField(const CreateWindowState& state) {
    const std::string base =
        state.chosenBaseFolder.empty() ? std::string(kAutoBaseFolder) : state.chosenBaseFolder;
    platform::setControlText(kFolderField, base + platform::getControlText(kNameField));
}

void chooseTypFile() {
    const std::string path =
        platform::chooseOpenFile("Select TYP File", "", "TYP File (*.typ)|*.TYP", 0, 0);
    if (!path.empty()) platform::setControlText(kTypField, path);
}

// Serves one control event; true when the window is done.
bool serveControl(int control, CreateWindowState& state) {
    switch (control) {
    case kMapList:
        if (attributePanelShown && requireSelectedMap()) showSelectedMapAttributes(state);
        return false;
    case kCancelButton:
        return true;
    case kDeleteMapButton:
        deleteSelectedMap(state);
        return false;
    case kClearListButton:
        clearMapList(state);
        return false;
    case kMapAttributeButton:
        if (requireSelectedMap()) {
            setAttributePanelHidden(attributePanelShown);
            showSelectedMapAttributes(state);
        }
        return false;
    case kSaveAttributeButton:
        saveMapAttributes(state);
        return false;
    case kSelectMapsButton:
        addChosenMaps(state);
        return false;
    case kFolderButton:
        chooseBaseFolder(state);
        return false;
    case kNameField:
        followNameInFolderField(state);
        return false;
    case kTypButton:
        chooseTypFile();
        return false;
    case kAutoToggle:
        setCreationMode(true);
        setAttributePanelHidden(true);
        return false;
    case kCustomToggle:
        setCreationMode(false);
        return false;
    case kCreateButton: {
        // A failed build keeps the window and every input, so the user can correct and retry.
        const std::optional<MapsetBuildRequest> request = checkCreateRequest(state, createInputsOfWindow());
        return request && buildMapset(*request);
    }
    default:
        return false;
    }
}

} // namespace

void runCreateMapsetWindow(const std::string& compilerPath, const std::string& previewPath,
                           const std::string& mkgmapPath) {
    // Without its window the loop would serve the main window's controls under this window's
    // numbers.
    if (!createWindowOpen) return;
    CreateWindowState state;
    state.compilerPath = compilerPath;
    state.previewPath = previewPath;
    state.mkgmapPath = mkgmapPath;
    selectStartingCompiler(compilerPath, mkgmapPath);
    for (;;) {
        const platform::EventKind kind = platform::waitWindowEvent();
        if (kind == platform::EventKind::Close) break;
        if (kind == platform::EventKind::Control && serveControl(platform::eventControl(), state))
            break;
    }
    platform::closeWindow(kCreateWindow);
    createWindowOpen = false;
}

} // namespace oxlo::builder
