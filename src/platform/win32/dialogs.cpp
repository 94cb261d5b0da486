// The modal dialogs of services.h (message box, file and folder choosers) and the web address.
#include "platform/services.h"
#include "platform/system_primitives.h"
#include "platform/win32/window_layer_state.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace oxlo::platform {

namespace {

using win32::UniqueLibrary;

// Keeps the program's other windows disabled while a dialog is open. The dialog is owned by the
// foreground window when that is ours; the dialog itself disables and re-enables its owner, so
// that window is left to it (re-enabled before the dialog goes, it takes the activation back).
class ModalScope {
public:
    ModalScope() {
        // A dialog belongs over the window the user is looking at, so that one shows first.
        win32::showNewWindows();
        HWND foreground = ::GetForegroundWindow();
        DWORD process = 0;
        if (foreground && ::GetWindowThreadProcessId(foreground, &process) &&
            process == ::GetCurrentProcessId())
            owner_ = foreground;
        ::EnumThreadWindows(::GetCurrentThreadId(), disableOne, reinterpret_cast<LPARAM>(this));
    }
    ~ModalScope() {
        for (HWND window : disabled_) ::EnableWindow(window, TRUE);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    HWND owner() const { return owner_; }

private:
    static BOOL CALLBACK disableOne(HWND window, LPARAM self) {
        auto* scope = reinterpret_cast<ModalScope*>(self);
        if (window != scope->owner_ && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            scope->disabled_.push_back(window);
        }
        return TRUE;
    }

    // The focus leaves a field when the dialog opens and comes back when it closes: no events.
    win32::QuietScope quiet_;
    HWND owner_ = nullptr;
    std::vector<HWND> disabled_;
};

// The files of the last multiple selection not yet handed out.
std::vector<std::string> pendingSelection;
std::size_t nextPending = 0;
bool lastChoiceDidNotFit = false;

// Room for the folder and every name of a multiple selection, each with its NUL: about 2,500 map
// names of 8.3 form.
constexpr std::size_t kSelectionSize = 32768;

bool isValidFileName(const std::string& name) {
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (c < 32 || std::strchr("\"*/:<>?\\|", c)) return false;
    return true;
}

std::string withBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// "description|filter|..." as the dialogs take it: NUL-separated, ending in two NULs.
std::vector<char> filterList(const std::string& pattern) {
    std::vector<char> filter(pattern.begin(), pattern.end());
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

// The folder a file dialog starts in and the name proposed in its box, from the default file.
std::pair<std::string, std::string> startingPlace(const std::string& defaultFile) {
    std::string folder;
    std::string name = defaultFile;
    if (const std::size_t slash = defaultFile.rfind('\\'); slash != std::string::npos) {
        folder = defaultFile.substr(0, slash);
        name = defaultFile.substr(slash + 1);
        if (folder.size() == 2 && folder[1] == ':') folder += '\\'; // "C:" alone means C's cwd
    }
    // The dialog refuses to open at all with an invalid name in its box.
    if (!isValidFileName(name)) name.clear();
    return {folder, name};
}

// The fields the open and save dialogs share; `file` (of `size` characters) holds the proposed
// name and receives the choice. Every pointer must outlive the dialog.
OPENFILENAMEA fileDialog(HWND owner, const std::string& title, const std::vector<char>& filter,
                         int patternPosition, const std::string& folder, char* file, DWORD size) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.data();
    dialog.nFilterIndex = static_cast<DWORD>(patternPosition + 1);
    dialog.lpstrFile = file;
    dialog.nMaxFile = size;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return dialog;
}

int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM, LPARAM initialFolder) {
    if (message == BFFM_INITIALIZED && initialFolder)
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, initialFolder);
    return 0;
}

} // namespace

int showMessage(const std::string& title, const std::string& text, int flags) {
    if (int routed = 0; raw::routedMessage(title, text, flags, routed)) return routed;
    ModalScope modal;
    return ::MessageBoxA(modal.owner(), text.c_str(), title.c_str(), static_cast<UINT>(flags));
}

std::string chooseOpenFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition, int multiple) {
    pendingSelection.clear();
    nextPending = 0;
    lastChoiceDidNotFit = false;

    const std::vector<char> filter = filterList(pattern);
    const auto [folder, name] = startingPlace(defaultFile);

    // One NUL more than the dialog is told of, so that every name read below ends in one.
    std::vector<char> selection(kSelectionSize + 1, '\0');
    name.copy(selection.data(), std::min(name.size(), kSelectionSize - 1));

    ModalScope modal;
    OPENFILENAMEA dialog = fileDialog(modal.owner(), title, filter, patternPosition, folder,
                                      selection.data(), static_cast<DWORD>(kSelectionSize));
    if (multiple == 1) dialog.Flags |= OFN_ALLOWMULTISELECT;
    if (!::GetOpenFileNameA(&dialog)) {
        lastChoiceDidNotFit = ::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        return {};
    }

    // One file: its full path. Several: the folder, then each name, NUL-separated.
    const std::string first(selection.data());
    if (!(dialog.Flags & OFN_ALLOWMULTISELECT) || first.size() >= dialog.nFileOffset) return first;
    const std::string chosenFolder = withBackslash(first);
    const char* const end = selection.data() + kSelectionSize;
    const char* at = selection.data() + first.size() + 1;
    while (at < end && *at != '\0') {
        const std::size_t length = ::strnlen(at, static_cast<std::size_t>(end - at));
        if (at + length >= end) break;
        pendingSelection.emplace_back(chosenFolder + std::string(at, length));
        at += length + 1;
    }
    // A list that runs into the end of the buffer was cut off: some dialogs (Wine's) fill the
    // buffer instead of reporting FNERR_BUFFERTOOSMALL. None of it is handed out.
    if (at >= end || *at != '\0') {
        pendingSelection.clear();
        lastChoiceDidNotFit = true;
        return {};
    }
    if (pendingSelection.empty()) return first;
    nextPending = 1;
    return pendingSelection.front();
}

std::string nextSelectedFile() {
    if (nextPending == 0 || nextPending >= pendingSelection.size()) return {};
    return pendingSelection[nextPending++];
}

bool chosenFilesDidNotFit() { return lastChoiceDidNotFit; }

std::string choosePath(const std::string& title, const std::string& initialFolder) {
    using Browse = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
    using PathFromList = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
    UniqueLibrary shell(::LoadLibraryA("shell32.dll"));
    if (!shell) return {};
    auto browse = reinterpret_cast<Browse>(
        reinterpret_cast<void*>(::GetProcAddress(shell.get(), "SHBrowseForFolderA")));
    auto pathFromList = reinterpret_cast<PathFromList>(
        reinterpret_cast<void*>(::GetProcAddress(shell.get(), "SHGetPathFromIDListA")));
    if (!browse || !pathFromList) return {};

    std::string start = initialFolder;
    if (start.size() > 3 && start.back() == '\\') start.pop_back(); // "C:\" keeps its backslash

    // The new dialog style needs COM on this thread.
    const HRESULT com = ::CoInitialize(nullptr);
    std::string chosen;
    {
        ModalScope modal;
        char displayName[MAX_PATH] = {};
        BROWSEINFOA info{};
        info.hwndOwner = modal.owner();
        info.pszDisplayName = displayName;
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_NEWDIALOGSTYLE;
        info.lpfn = browseCallback;
        info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
        if (LPITEMIDLIST item = browse(&info)) {
            char path[MAX_PATH] = {};
            if (pathFromList(item, path)) chosen = withBackslash(path);
            ::CoTaskMemFree(item);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return chosen;
}

std::string chooseSaveFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition) {
    const std::vector<char> filter = filterList(pattern);

    // The extension given to a name typed without one: that of the chosen pair's filter.
    std::string extension;
    {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t bar; (bar = pattern.find('|', start)) != std::string::npos; start = bar + 1)
            parts.push_back(pattern.substr(start, bar - start));
        parts.push_back(pattern.substr(start));
        const std::size_t at = static_cast<std::size_t>(patternPosition) * 2 + 1;
        if (at < parts.size() && parts[at].rfind("*.", 0) == 0)
            extension = parts[at].substr(2, parts[at].find(';') - 2);
    }

    const auto [folder, name] = startingPlace(defaultFile);
    std::vector<char> chosen(MAX_PATH + 1, '\0');
    name.copy(chosen.data(), std::min<std::size_t>(name.size(), MAX_PATH - 1));

    ModalScope modal;
    OPENFILENAMEA dialog = fileDialog(modal.owner(), title, filter, patternPosition, folder,
                                      chosen.data(), MAX_PATH);
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!::GetSaveFileNameA(&dialog)) return {};
    return std::string(chosen.data());
}

void openFolderWindow(const std::string& folder) {
    ::ShellExecuteA(nullptr, "open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void openWebAddress(const std::string& address) {
    ::ShellExecuteA(nullptr, "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

} // namespace oxlo::platform
