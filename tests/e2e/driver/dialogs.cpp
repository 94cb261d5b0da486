#include "driver/driver.h"
#include "driver/failure.h"

#include "driver/remote_memory.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cctype>

namespace oxlo::e2e {

namespace {

constexpr UINT kFolderListingTimeoutMs = 20000;
constexpr milliseconds kFolderSelectionWait{15000};

void setText(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result)) {
        failWithError("cannot set the text of " + nameWindow(window), GetLastError());
    }
}

void pressOk(HWND dialog) {
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)) {
        failWithError("cannot confirm " + nameWindow(dialog), GetLastError());
    }
}

HWND fileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameBoxId);
    if (!box) fail(nameWindow(dialog) + " has no file name box");
    return box;
}

// The folder the dialog shows, asked with CDM_GETFOLDERPATH through the dialog's own memory: in
// UTF-16 from a wide dialog (Oxlo's), in ANSI from another (the driver's own fixture).
std::string currentFolder(HWND dialog) {
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    const bool wide = IsWindowUnicode(dialog) != 0;
    RemoteMemory remote(processId, MAX_PATH * sizeof(wchar_t));
    DWORD_PTR length = 0;
    const auto send = wide ? SendMessageTimeoutW : SendMessageTimeoutA;
    if (!send(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(remote.address()),
              SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length) ||
        static_cast<LRESULT>(length) <= 0) {
        return {};
    }
    return wide ? remote.readWideText(0) : remote.readText();
}

bool sameFolder(std::string a, std::string b) {
    for (std::string* path : {&a, &b}) {
        while (!path->empty() && path->back() == '\\') path->pop_back();
        for (char& c : *path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return a == b;
}

} // namespace

HWND waitForFileDialog(DWORD processId, const std::string& title, milliseconds timeout) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            found = findTopLevelWindow(processId, title, "#32770");
            return found && GetDlgItem(found, kFileNameBoxId);
        },
        timeout);
    return found && GetDlgItem(found, kFileNameBoxId) ? found : nullptr;
}

void chooseFiles(HWND dialog, const std::string& folder, const std::vector<std::string>& names) {
    if (names.empty()) fail("chooseFiles needs at least one file name");
    HWND box = fileNameBox(dialog);
    // A folder typed into the name box makes the dialog change to it and stay open.
    setText(box, folder);
    pressOk(dialog);
    std::string shown;
    if (!waitUntil(
            [&] {
                shown = currentFolder(dialog);
                return !IsWindow(dialog) || sameFolder(shown, folder);
            },
            milliseconds(3000))) {
        fail(nameWindow(dialog) + " did not change to folder " + folder + " (it shows " + shown +
             ", its name box \"" + windowText(box) + "\")");
    }
    if (!IsWindow(dialog)) fail("the file dialog closed on the folder " + folder);
    std::string text;
    if (names.size() == 1) {
        text = names.front();
    } else {
        for (const std::string& name : names) text += (text.empty() ? "\"" : " \"") + name + "\"";
    }
    setText(box, text);
    pressOk(dialog);
}

void cancelDialog(HWND dialog) {
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0)) {
        failWithError("cannot cancel " + nameWindow(dialog), GetLastError());
    }
}

namespace {

// Reads the folder tree of a chooser in another process. `remote` is a block in that process:
// the TVITEMA record goes at kItemOffset (aligned: the tree view copies it with aligned moves)
// and the item's text at kTextOffset.
class RemoteFolderTree {
public:
    static constexpr std::size_t kItemOffset = 512, kTextOffset = 1024;
    static constexpr std::size_t kBlockSize = kTextOffset + MAX_PATH;

    RemoteFolderTree(HWND tree, RemoteMemory& remote) : tree_(tree), remote_(remote) {}

    std::string selectedName() const { return itemName(item(TVGN_CARET, 0)); }

    // For a failure: the chain of expanded items from the root, with the children of the last.
    std::string describeExpansion() const {
        std::string chain;
        for (DWORD_PTR level = item(TVGN_ROOT, 0); level;) {
            chain += (chain.empty() ? "" : " > ") + itemName(level);
            DWORD_PTR expanded = 0;
            std::string children;
            int count = 0;
            for (DWORD_PTR child = item(TVGN_CHILD, level); child; child = item(TVGN_NEXT, child)) {
                if (!expanded && isExpanded(child)) expanded = child;
                if (++count <= 12) children += (children.empty() ? "" : ", ") + itemName(child);
            }
            if (!expanded) chain += " [" + std::to_string(count) + " children: " + children + "]";
            level = expanded;
        }
        return chain.empty() ? std::string("an empty tree") : chain;
    }

private:
    DWORD_PTR send(UINT message, WPARAM wParam, LPARAM lParam) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(tree_, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                            &result);
        return result;
    }
    DWORD_PTR item(UINT relation, DWORD_PTR from) const {
        return send(TVM_GETNEXTITEM, relation, from);
    }
    bool isExpanded(DWORD_PTR item) const {
        return (send(TVM_GETITEMSTATE, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }
    std::string itemName(DWORD_PTR item) const {
        if (!item) return {};
        char* const block = static_cast<char*>(remote_.address());
        TVITEMA record{};
        record.mask = TVIF_TEXT;
        record.hItem = reinterpret_cast<HTREEITEM>(item);
        record.pszText = block + kTextOffset;
        record.cchTextMax = MAX_PATH;
        const char empty = 0;
        remote_.write(kItemOffset, &record, sizeof record);
        remote_.write(kTextOffset, &empty, 1);
        send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block + kItemOffset));
        return remote_.readText(kTextOffset);
    }

    HWND tree_;
    RemoteMemory& remote_;
};

} // namespace

void chooseFolder(HWND dialog, const std::string& folder) {
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    HWND treeWindow = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    if (!treeWindow) fail(nameWindow(dialog) + " has no folder tree");
    // BFFM_SETSELECTIONA reads the path in the dialog's own process, hence the remote copy at
    // the start of the block the tree reader also uses.
    RemoteMemory remote(processId, RemoteFolderTree::kBlockSize);
    remote.writeText(folder);
    const RemoteFolderTree tree(treeWindow, remote);
    const std::string wanted = folder.substr(folder.find_last_of('\\') + 1);
    // The chooser shows before its tree is filled and ignores a selection request until then,
    // so ask again until the folder itself is selected. How long filling takes depends on the
    // machine's load (the end-to-end tests run side by side), so the limit is a time, not a count.
    std::string selected;
    waitUntil([&] {
        DWORD_PTR result = 0;
        // Opening a level lists the folder, which takes a while in a large one.
        if (!SendMessageTimeoutA(dialog, BFFM_SETSELECTIONA, TRUE,
                                 reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG,
                                 kFolderListingTimeoutMs, &result)) {
            failWithError("cannot select folder " + folder + " in " + nameWindow(dialog),
                          GetLastError());
        }
        selected = tree.selectedName();
        return sameFolder(selected, wanted);
    }, kFolderSelectionWait);
    if (!sameFolder(selected, wanted)) {
        fail(nameWindow(dialog) + " did not select " + folder + " (it selected " + selected +
             "; expanded: " + tree.describeExpansion() + ")");
    }
    pressOk(dialog);
}

} // namespace oxlo::e2e
