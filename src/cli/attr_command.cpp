// oxlo attr: a map's draw priority and transparency, shown or changed as the attribute panel of
// Create Mapset does it.
#include "cli/commands.h"
#include "cli/console_messages.h"

#include "builder/create_window_state.h"
#include "platform/services.h"

namespace oxlo::cli {

namespace {
constexpr const char* kSaveTitle = "Save Map Attribute";

std::string shown(const builder::MapAttributeValues& values) {
    return "priority " + platform::textFromNumber(values.priority) + ", transparent " +
           (values.transparent ? "yes" : "no");
}
} // namespace

int mapAttributes(const Streams& streams, const std::vector<std::string>& maps,
                  std::optional<int> priority, std::optional<bool> transparent, bool yes) {
    MessageGate gate(streams, yes);
    for (const std::string& map : maps) {
        const std::string fileName = platform::getFilePart(map);
        builder::MapAttributeValues values = builder::readMapAttributeValues(map);
        if (!values.found) {
            platform::showMessage(kSaveTitle,
                                  "No map attributes found in " + fileName +
                                      (priority || transparent ? ". Nothing was saved." : "."),
                                  platform::kMessageWarning);
            continue;
        }
        if (priority || transparent) {
            if (platform::showMessage(
                    kSaveTitle,
                    "Be warned that changing these attribute may make your map unworkable. Make "
                    "sure you have backed up your map before proceeding. Update " +
                        fileName + "?",
                    platform::kMessageInfoYesNo) != platform::kAnswerYes)
                return kExitFailed;
            if (!builder::writeMapAttributes(map, priority.value_or(values.priority),
                                             transparent.value_or(values.transparent))) {
                platform::showMessage(kSaveTitle,
                                      "The map attributes could not be saved to " + map + ".",
                                      platform::kMessageWarning);
                continue;
            }
            values = builder::readMapAttributeValues(map);
        }
        streams.out(map + ": " + shown(values) + "\n");
    }
    return gate.failed() ? kExitFailed : kExitDone;
}

} // namespace oxlo::cli
