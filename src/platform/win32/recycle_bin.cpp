// The Recycle Bin of system_primitives.h and shell_folders.h, through the shell's file operation.
#include "platform/win32/recycle_bin.h"

#include "platform/system_primitives.h"
#include "platform/win32/wide_text.h"

#include <windows.h>
#include <shellapi.h>

namespace oxlo::platform {

namespace win32 {
namespace {

// The items in the Recycle Bin of the drive that holds `path`; -1 when it has none.
long long itemsInRecycleBin(const std::wstring& path)
{
    wchar_t root[MAX_PATH + 1]{};
    if (!::GetVolumePathNameW(path.c_str(), root, MAX_PATH)) return -1;
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(::SHQueryRecycleBinW(root, &info))) return -1;
    return info.i64NumItems;
}

} // namespace

bool recycle(const std::vector<std::string>& paths, RecycleUi ui)
{
    if (paths.empty()) return true;
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
    // Undo sends the files to the Recycle Bin; the caller has its user's yes, or needs none, so
    // the shell does not ask for one. FOF_WANTNUKEWARNING overrides FOF_NOCONFIRMATION before a
    // file that cannot be recycled is deleted for good.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    operation.fFlags |= ui == RecycleUi::silent ? FOF_SILENT | FOF_NOERRORUI : FOF_WANTNUKEWARNING;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

bool recycleBinTakesFrom(const std::string& path)
{
    const std::wstring wide = win32::wide(path);
    const long long before = itemsInRecycleBin(wide);
    if (wide.empty() || before < 0) return false;
    const std::wstring folder = wide.substr(0, wide.find_last_of(L'\\') + 1);
    for (int attempt = 1; attempt <= 20; ++attempt) {
        const std::wstring probe = folder + L"~oxlo recycle test " + std::to_wstring(attempt);
        if (!::CreateDirectoryW(probe.c_str(), nullptr)) continue;
        const bool recycled = recycle({win32::utf8(probe.c_str())}, RecycleUi::silent);
        ::RemoveDirectoryW(probe.c_str()); // still there when the shell did not take it
        return recycled && itemsInRecycleBin(wide) > before;
    }
    return false;
}

} // namespace win32

bool raw::recycleRaw(const std::vector<std::string>& paths)
{
    return win32::recycle(paths, win32::RecycleUi::askBeforeDeleting);
}

} // namespace oxlo::platform
