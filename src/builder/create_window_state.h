// What the Create Mapset window remembers while it is open, and the helpers its event loop calls.
#pragma once

#include "builder/mapset_build.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::builder {

// Whether openCreateMapsetWindow got its window (and created the controls) since the last run.
extern bool createWindowOpen;

struct CreateWindowState {
    std::string compilerPath; // replaced when the user locates cgpsmapper.exe
    std::string previewPath;  // replaced when the user locates cpreview.exe
    std::string mkgmapPath;   // mkgmap.jar in the start folder; replaced when the user locates it
    std::string chosenBaseFolder; // last folder chooser result, ending in "\" (empty: none)
    std::string attributeMapPath; // the map shown in the attribute panel
    bool attributesFound = false; // its TRE header was found, so Save may write into it
    // The rows of the map list, in order. The seam hands out only the selected row's text, so
    // the window keeps its own copy; only the map-list helpers below change the list.
    std::vector<std::string> maps;
};

// ----- Map list (map_list.cpp) -------------------------------------------------------------
// The message refusing the map at `path` under the naming rule, or the empty text when it may be
// added.
std::string mapNameRefusal(const std::string& path);
// Select Maps: asks for maps and appends those that pass the naming rule.
void addChosenMaps(CreateWindowState& state);
void deleteSelectedMap(CreateWindowState& state);
void clearMapList(CreateWindowState& state);

// ----- Attribute panel (attribute_panel.cpp) -----------------------------------------------
// Shows "Please select a map." and gives false when no row of the map list is selected.
bool requireSelectedMap();
// Loads the selected map's attributes into the panel.
void showSelectedMapAttributes(CreateWindowState& state);
// Save: asks, writes the two bytes, hides the panel.
void saveMapAttributes(const CreateWindowState& state);
struct MapAttributeValues {
    bool found = false; // the map's TRE header was found
    int priority = 0;   // signed byte
    bool transparent = false;
};
// Reads a map's draw priority and transparency (kept for writeMapAttributes).
MapAttributeValues readMapAttributeValues(const std::string& path);
// Writes them into the map just read by readMapAttributeValues, the priority clamped to 1 to 31.
// False when the map did not take them (it is then left as it was).
bool writeMapAttributes(const std::string& path, int priority, bool transparent);

// ----- Tools for mkgmap (mkgmap_tools.cpp) -------------------------------------------------
// Finds mkgmap.jar where Oxlo looks, else asks for it ("Find mkgmap"), and Java. False when the
// user cancelled the chooser, or, after saying so, when there is no Java.
bool locateMkgmapTools(CreateWindowState& state, std::string* java);

// ----- Checks (create_checks.cpp) ----------------------------------------------------------
// The fields of the window that a build request is made of (oxlo.com fills them from options).
struct CreateInputs {
    Compiler compiler = Compiler::Cgpsmapper;
    std::string name;
    bool automatic = true;      // Auto mode: folder and family ID chosen by Oxlo
    std::string folder;         // Custom mode only
    std::string familyIdText;   // Custom mode only, as typed
    std::string typPath;
};
// The window's fields now.
CreateInputs createInputsOfWindow();
// Locates missing tools, runs every check in order with its message, settles folder and family
// ID. Gives the request to build, or nothing when the user is back at the window.
std::optional<MapsetBuildRequest> checkCreateRequest(CreateWindowState& state,
                                                     const CreateInputs& inputs);
// The first family ID from 6001 up that no registered family and no BaseCamp bundle uses; nothing
// when the registered families cannot be read whole, since the one not read may hold it.
std::optional<std::int32_t> firstFreeFamilyId();

} // namespace oxlo::builder
