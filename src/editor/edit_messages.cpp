#include "editor/edit_messages.h"

#include "platform/services.h"

namespace oxlo::editor {

void warnUser(const std::string& text)
{
    platform::showMessage(kEditTitle, text, platform::kMessageWarning);
}

std::string notRenamed(const std::string& name, const std::string& reason)
{
    return "Mapset " + name + " was not renamed: " + reason;
}

} // namespace oxlo::editor
