// The handler of routeMessages, shared by both window layers' showMessage.
#include "platform/console.h"
#include "platform/system_primitives.h"

#include <utility>

namespace oxlo::platform {

namespace {
MessageRoute& route() {
    static MessageRoute handler;
    return handler;
}
} // namespace

void routeMessages(MessageRoute handler) { route() = std::move(handler); }

namespace raw {
bool routedMessage(const std::string& title, const std::string& text, int flags, int& answer) {
    if (!route()) return false;
    answer = route()(title, text, flags);
    return true;
}
} // namespace raw

} // namespace oxlo::platform
