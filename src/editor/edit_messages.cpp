#include "editor/edit_messages.h"

#include "editor/edit_controls.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::editor {

void warnUser(const std::string& text)
{
    platform::showMessage(kEditTitle, text, platform::kMessageWarning);
}

std::string notRenamed(const std::string& name, const std::string& reason)
{
    return "Mapset " + name + " was not renamed: " + reason;
}

StepOutcome refuseNumber(int shown, const std::string& text)
{
    platform::setControlText(kNumberField, platform::textFromNumber(shown));
    warnUser(text);
    return StepOutcome::NotDone;
}

std::string notChanged(const std::string& what, const std::string& name, const std::string& reason)
{
    return "The " + what + " of mapset " + name + " was not changed: " + reason;
}

std::string changedInPart(const std::string& what, const std::string& name,
                          const std::string& places)
{
    return "The " + what + " of mapset " + name +
           " was changed only in part and could not be put back: check " + places + ".";
}

} // namespace oxlo::editor
