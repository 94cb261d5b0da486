// The attribute panel: a map's draw priority and transparency, shown and saved back.
#include "builder/create_mapset_window.h"
#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "mapfile/map_file.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstdint>

namespace oxlo::builder {

namespace {
constexpr const char* kTreSignature = "GARMIN TRE";
constexpr int kTreSignatureLength = 10;
constexpr std::uint8_t kTransparent = 3;
constexpr std::uint8_t kOpaque = 1;

} // namespace

MapAttributeValues readMapAttributeValues(const std::string& path) {
    // A search that finds nothing leaves the record alone, so clear it first: a header found in
    // an earlier map must never be taken for this map's.
    mapfile::mapAttributes = mapfile::MapAttributes{};
    mapfile::readMapAttributes(path, kTreSignature, kTreSignatureLength);
    if (mapfile::mapAttributes.headerEnd < kTreSignatureLength) return {};
    return {true, static_cast<std::int8_t>(mapfile::mapAttributes.drawPriority),
            mapfile::mapAttributes.transparency == kTransparent};
}

// The transparency byte first, then the priority clamped to 1 to 31. A map that takes the first
// byte but not the second gets the first one back, so it is never left half saved.
bool writeMapAttributes(const std::string& path, int priority, bool transparent) {
    const int clamped = std::clamp(priority, 1, 31);
    const int transparency = transparent ? kTransparent : kOpaque;
    // 1-based offsets of the bytes at headerEnd + 51 and + 52.
    const std::int64_t transparencyOffset = mapfile::mapAttributes.headerEnd + 52;
    if (mapfile::writeValueAtOffset(path, transparencyOffset, transparency, 0, "", "Byte") != 1)
        return false;
    if (mapfile::writeValueAtOffset(path, transparencyOffset + 1, clamped, 0, "", "Byte") == 1)
        return true;
    mapfile::writeValueAtOffset(path, transparencyOffset, mapfile::mapAttributes.transparency, 0,
                                "", "Byte");
    return false;
}

bool requireSelectedMap() {
    if (platform::getControlState(kMapList) >= 0) return true;
    platform::showMessage("Map Attribute", "Please select a map.", platform::kMessageInfo);
    return false;
}

void showSelectedMapAttributes(CreateWindowState& state) {
    state.attributeMapPath = platform::getControlText(kMapList);
    const MapAttributeValues values = readMapAttributeValues(state.attributeMapPath);
    state.attributesFound = values.found;
    if (!state.attributesFound) {
        platform::setControlText(kPriorityField, "");
        platform::setControlState(kTransparentBox, 0);
        return;
    }
    platform::setControlText(kPriorityField, platform::textFromNumber(values.priority));
    platform::setControlState(kTransparentBox, values.transparent ? 1 : 0);
}

void saveMapAttributes(const CreateWindowState& state) {
    const std::string& path = state.attributeMapPath;
    const std::string fileName = platform::getFilePart(path);
    if (!state.attributesFound) {
        platform::showMessage("Save Map Attribute",
                              "No map attributes found in " + fileName + ". Nothing was saved.",
                              platform::kMessageWarning);
    } else if (platform::showMessage(
                   "Save Map Attribute",
                   "Be warned that changing these attribute may make your map unworkable. Make "
                   "sure you have backed up your map before proceeding. Update " +
                       fileName + "?",
                   platform::kMessageInfoYesNo) == platform::kAnswerYes &&
               !writeMapAttributes(
                   path, platform::numberFromText(platform::getControlText(kPriorityField)),
                   platform::getControlState(kTransparentBox) == 1)) {
        // The panel stays open with the values, so the user can try again.
        platform::showMessage("Save Map Attribute",
                              "The map attributes could not be saved to " + path + ".",
                              platform::kMessageWarning);
        return;
    }
    setAttributePanelHidden(true);
}

} // namespace oxlo::builder
