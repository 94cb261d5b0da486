// The Recycle Bin of system_primitives.h, through the shell's file operation.
#include "platform/system_primitives.h"
#include "platform/win32/wide_text.h"

#include <windows.h>
#include <shellapi.h>

namespace oxlo::platform::raw {

bool recycleRaw(const std::vector<std::string>& paths) {
    // The shell takes one list of paths, each ending in a NUL, the list in a second one.
    std::wstring list;
    for (const std::string& path : paths) {
        const std::wstring wide = win32::wide(path);
        if (wide.empty()) return false;
        list += wide;
        list += L'\0';
    }
    list += L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    // Undo sends the files to the Recycle Bin. The user has already said yes, so the shell asks
    // nothing more, except (FOF_WANTNUKEWARNING overrides FOF_NOCONFIRMATION there) before a file
    // that cannot be recycled is deleted for good.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

} // namespace oxlo::platform::raw
