// Known folders and the Recycle Bin through the shell.
#include "platform/shell_folders.h"
#include "platform/win32/recycle_bin.h"
#include "platform/win32/wide_text.h"

#include <windows.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

namespace oxlo::platform {
namespace {

// Owns the text SHGetKnownFolderPath allocates.
struct TaskText {
    PWSTR text = nullptr;
    ~TaskText() { ::CoTaskMemFree(text); }
};

} // namespace

std::string knownFolderPath(KnownFolder folder)
{
    const KNOWNFOLDERID& id = folder == KnownFolder::ProgramData      ? FOLDERID_ProgramData
                              : folder == KnownFolder::RoamingAppData ? FOLDERID_RoamingAppData
                                                                       : FOLDERID_Documents;
    TaskText path;
    if (FAILED(::SHGetKnownFolderPath(id, 0, nullptr, &path.text)) || path.text == nullptr)
        return {};
    std::string result = win32::utf8(path.text);
    while (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

std::string pathForOutsideProgram(const std::string& path) { return path; }

Recycling moveToRecycleBin(const std::string& path)
{
    if (path.empty() || ::GetFileAttributesW(win32::wide(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        return Recycling::failed;
    if (!win32::recycleBinTakesFrom(path)) return Recycling::noRecycleBin;
    if (!win32::recycle({path}, win32::RecycleUi::silent)) return Recycling::failed;
    return ::GetFileAttributesW(win32::wide(path).c_str()) == INVALID_FILE_ATTRIBUTES
               ? Recycling::done
               : Recycling::failed;
}

} // namespace oxlo::platform
