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

bool requireSelectedMap() {
    if (platform::getControlState(kMapList) >= 0) return true;
    platform::showMessage("Map Attribute", "Please select a map.", platform::kMessageInfo);
    return false;
}

void showSelectedMapAttributes(CreateWindowState& state) {
    state.attributeMapPath = platform::getControlText(kMapList);
    // A search that finds nothing leaves the record alone, so clear it first: a header found in
    // an earlier map must never be taken for this map's.
    mapfile::mapAttributes = mapfile::MapAttributes{};
    mapfile::readMapAttributes(state.attributeMapPath, kTreSignature, kTreSignatureLength);
    state.attributesFound = mapfile::mapAttributes.headerEnd >= kTreSignatureLength;
    if (!state.attributesFound) {
        platform::setControlText(kPriorityField, "");
        platform::setControlState(kTransparentBox, 0);
        return;
    }
    const auto priority = static_cast<std::int8_t>(mapfile::mapAttributes.drawPriority);
    platform::setControlText(kPriorityField, platform::textFromNumber(priority));
    platform::setControlState(kTransparentBox,
                              mapfile::mapAttributes.transparency == kTransparent ? 1 : 0);
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
                   platform::kMessageInfoYesNo) == platform::kAnswerYes) {
        const int priority =
            std::clamp(platform::numberFromText(platform::getControlText(kPriorityField)), 1, 31);
        const int transparency =
            platform::getControlState(kTransparentBox) == 1 ? kTransparent : kOpaque;
        // 1-based offsets of the bytes at headerEnd + 51 and + 52; transparency goes first.
        const std::int64_t headerEnd = mapfile::mapAttributes.headerEnd;
        mapfile::writeValueAtOffset(path, headerEnd + 52, transparency, 0, "", "Byte");
        mapfile::writeValueAtOffset(path, headerEnd + 53, priority, 0, "", "Byte");
    }
    setAttributePanelHidden(true);
}

} // namespace oxlo::builder
