// The map list of the Create Mapset window and the naming rule for the maps put into it.
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "catalogue/name_rules.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::builder {

std::string mapNameRefusal(const std::string& path) {
    const std::string fileName = platform::getFilePart(path);
    // MapSource reads a map's number from the first eight characters of its name.
    const std::string prefix = fileName.substr(0, 8);
    // mkgmap trims the names in its argument file: it would read another map of the folder.
    if (platform::numberFromText(prefix) == 0 || catalogue::hasBlankAtEitherEnd(fileName))
        return fileName +
               " does not conform to the '99999999.IMG' naming convention. Creating a mapset with "
               "this map will cause uncertain effect for Mapsource. Map will be exluded.";
    if (prefix == "00000001" || prefix == "00000008")
        return "Mapsource does not recognize '00000001.IMG' and '00000008.IMG'. Creating a mapset "
               "with this map will cause Mapsource to crash. Please use another map name.";
    return {};
}

void addChosenMaps(CreateWindowState& state) {
    std::string path = platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1);
    // Otherwise the user could not tell such a choice from Cancel: nothing is added either way.
    if (path.empty() && platform::chosenFilesDidNotFit()) {
        platform::showMessage(kCreateWindowTitle,
                              "Too many maps were chosen at once. Please choose fewer maps at a "
                              "time.",
                              platform::kMessageWarning);
        return;
    }
    for (; !path.empty(); path = platform::nextSelectedFile()) {
        const std::string refusal = mapNameRefusal(path);
        if (!refusal.empty()) {
            platform::showMessage(kCreateWindowTitle, refusal, platform::kMessageWarning);
            continue;
        }
        platform::addListItem(kMapList, -1, path);
        state.maps.push_back(path);
    }
}

void deleteSelectedMap(CreateWindowState& state) {
    const int row = platform::getControlState(kMapList);
    if (row < 0 || row >= static_cast<int>(state.maps.size())) return;
    platform::removeListItem(kMapList, row);
    state.maps.erase(state.maps.begin() + row);
}

void clearMapList(CreateWindowState& state) {
    platform::clearListItems(kMapList);
    state.maps.clear();
}

} // namespace oxlo::builder
