// Files dropped from the file manager (ui.h: acceptDroppedFiles, droppedFiles, Drop events).
#include "platform/win32/wide_text.h"
#include "platform/win32/window_layer_state.h"

#include <shellapi.h>

namespace oxlo::platform {

using namespace win32;

namespace win32 {

void onDropFiles(HDROP drop) {
    QueuedEvent event;
    event.kind = EventKind::Drop;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, index, path.data(), length + 1));
        if (!path.empty()) event.files.push_back(utf8(path)); // UTF-8 inside Oxlo
    }
    ::DragFinish(drop);
    if (event.files.empty()) return;
    // Posted, so it arrives through the loop's own dispatch, which takes the event next.
    layer().events.push_back(std::move(event));
}

} // namespace win32

void acceptDroppedFiles(int number) {
    const auto found = layer().windows.find(number);
    if (found != layer().windows.end()) ::DragAcceptFiles(found->second.window.get(), TRUE);
}

std::vector<std::string> droppedFiles() { return layer().lastDrop; }

} // namespace oxlo::platform
