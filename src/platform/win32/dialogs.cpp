// The modal dialogs of services.h (message box, file and folder choosers) and the web address.
#include "platform/services.h"
#include "platform/system_primitives.h"
#include "platform/win32/wide_text.h"
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
// Wine's GetOpenFileNameW copies the whole selection whatever room the dialog was told of, so the
// buffer goes on well past kSelectionSize; what lands there is a selection that did not fit.
constexpr std::size_t kOverrunRoom = 1 << 20;

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
std::wstring filterList(const std::string& pattern) {
    std::wstring filter = win32::wide(pattern);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    return filter; // its own NUL is the second
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
OPENFILENAMEW fileDialog(HWND owner, const std::wstring& title, const std::wstring& filter,
                         int patternPosition, const std::wstring& folder, wchar_t* file,
                         DWORD size) {
    OPENFILENAMEW dialog{};
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
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, initialFolder);
    return 0;
}

} // namespace

int showMessage(const std::string& title, const std::string& text, int flags) {
    if (int routed = 0; raw::routedMessage(title, text, flags, routed)) return routed;
    ModalScope modal;
    return ::MessageBoxW(modal.owner(), win32::wide(text).c_str(), win32::wide(title).c_str(),
                         static_cast<UINT>(flags));
}

std::string chooseOpenFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition, int multiple) {
    pendingSelection.clear();
    nextPending = 0;
    lastChoiceDidNotFit = false;

    const std::wstring filter = filterList(pattern);
    const auto [folder, name] = startingPlace(defaultFile);
    const std::wstring proposed = win32::wide(name);

    // More than the dialog is told of, so that every name read below ends in a NUL.
    std::vector<wchar_t> selection(kSelectionSize + kOverrunRoom, L'\0');
    proposed.copy(selection.data(), std::min(proposed.size(), kSelectionSize - 1));

    ModalScope modal;
    const std::wstring wideTitle = win32::wide(title);
    const std::wstring wideFolder = win32::wide(folder);
    OPENFILENAMEW dialog = fileDialog(modal.owner(), wideTitle, filter, patternPosition, wideFolder,
                                      selection.data(), static_cast<DWORD>(kSelectionSize));
    if (multiple == 1) dialog.Flags |= OFN_ALLOWMULTISELECT;
    if (!::GetOpenFileNameW(&dialog)) {
        lastChoiceDidNotFit = ::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        return {};
    }

    // One file: its full path. Several: the folder, then each name, NUL-separated.
    const std::wstring first(selection.data());
    if (!(dialog.Flags & OFN_ALLOWMULTISELECT) || first.size() >= dialog.nFileOffset)
        return win32::utf8(first);
    const std::string chosenFolder = withBackslash(win32::utf8(first));
    const wchar_t* const end = selection.data() + kSelectionSize;
    const wchar_t* at = selection.data() + first.size() + 1;
    while (at < end && *at != L'\0') {
        const std::size_t length = ::wcsnlen(at, static_cast<std::size_t>(end - at));
        if (at + length >= end) break;
        pendingSelection.emplace_back(chosenFolder + win32::utf8(at, length));
        at += length + 1;
    }
    // A list that runs into the end of the buffer was cut off: some dialogs (Wine's) fill the
    // buffer instead of reporting FNERR_BUFFERTOOSMALL. None of it is handed out.
    if (at >= end || *at != L'\0') {
        pendingSelection.clear();
        lastChoiceDidNotFit = true;
        return {};
    }
    if (pendingSelection.empty()) return win32::utf8(first);
    nextPending = 1;
    return pendingSelection.front();
}

std::string nextSelectedFile() {
    if (nextPending == 0 || nextPending >= pendingSelection.size()) return {};
    return pendingSelection[nextPending++];
}

bool chosenFilesDidNotFit() { return lastChoiceDidNotFit; }

std::string choosePath(const std::string& title, const std::string& initialFolder) {
    using Browse = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOW);
    using PathFromList = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);
    UniqueLibrary shell(::LoadLibraryW(L"shell32.dll"));
    if (!shell) return {};
    auto browse = reinterpret_cast<Browse>(
        reinterpret_cast<void*>(::GetProcAddress(shell.get(), "SHBrowseForFolderW")));
    auto pathFromList = reinterpret_cast<PathFromList>(
        reinterpret_cast<void*>(::GetProcAddress(shell.get(), "SHGetPathFromIDListW")));
    if (!browse || !pathFromList) return {};

    std::wstring start = win32::wide(initialFolder);
    if (start.size() > 3 && start.back() == L'\\') start.pop_back(); // "C:\" keeps its backslash
    const std::wstring wideTitle = win32::wide(title);

    // The new dialog style needs COM on this thread.
    const HRESULT com = ::CoInitialize(nullptr);
    std::string chosen;
    {
        ModalScope modal;
        wchar_t displayName[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = modal.owner();
        info.pszDisplayName = displayName;
        info.lpszTitle = wideTitle.c_str();
        info.ulFlags = BIF_NEWDIALOGSTYLE;
        info.lpfn = browseCallback;
        info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
        if (LPITEMIDLIST item = browse(&info)) {
            wchar_t path[MAX_PATH] = {};
            if (pathFromList(item, path)) chosen = withBackslash(win32::utf8(path));
            ::CoTaskMemFree(item);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return chosen;
}

std::string chooseSaveFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition) {
    const std::wstring filter = filterList(pattern);

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
    const std::wstring proposed = win32::wide(name);
    std::vector<wchar_t> chosen(MAX_PATH + 1, L'\0');
    proposed.copy(chosen.data(), std::min<std::size_t>(proposed.size(), MAX_PATH - 1));

    ModalScope modal;
    const std::wstring wideTitle = win32::wide(title);
    const std::wstring wideFolder = win32::wide(folder);
    const std::wstring wideExtension = win32::wide(extension);
    OPENFILENAMEW dialog = fileDialog(modal.owner(), wideTitle, filter, patternPosition, wideFolder,
                                      chosen.data(), MAX_PATH);
    dialog.lpstrDefExt = wideExtension.empty() ? nullptr : wideExtension.c_str();
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!::GetSaveFileNameW(&dialog)) return {};
    return win32::utf8(chosen.data());
}

void openFolderWindow(const std::string& folder) {
    ::ShellExecuteW(nullptr, L"open", win32::wide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void openWebAddress(const std::string& address) {
    ::ShellExecuteW(nullptr, L"open", win32::wide(address).c_str(), L"", L"", SW_SHOWNORMAL);
}

} // namespace oxlo::platform
