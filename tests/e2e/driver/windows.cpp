#include "driver/driver.h"
#include "driver/failure.h"

#include <algorithm>
#include <sstream>

namespace oxlo::e2e {

namespace {


} // namespace

std::string utf8Text(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), bytes, nullptr, nullptr);
    result.pop_back(); // the terminator
    return result;
}

std::string windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, length));
    return utf8Text(text.c_str());
}

std::string windowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string nameWindow(HWND window) {
    std::ostringstream out;
    out << "window " << window << " \"" << windowText(window) << "\" (" << windowClass(window)
        << ")";
    return out.str();
}

std::vector<HWND> topLevelWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.processId && IsWindowVisible(window)) search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findTopLevelWindow(DWORD processId, const std::string& title, const std::string& className) {
    for (HWND window : topLevelWindows(processId)) {
        if (windowText(window) == title && (className.empty() || windowClass(window) == className)) {
            return window;
        }
    }
    return nullptr;
}

HWND waitForTopLevelWindow(DWORD processId, const std::string& title, milliseconds timeout,
                           const std::string& className) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findTopLevelWindow(processId, title, className)) != nullptr; },
              timeout);
    return found;
}

bool waitForWindowGone(HWND window, milliseconds timeout) {
    return waitUntil([&] { return !IsWindow(window); }, timeout);
}

bool waitForMessageLoop(HWND window, milliseconds timeout) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &ignored) != 0;
}

Control describeControl(HWND handle) {
    Control control;
    control.handle = handle;
    control.className = windowClass(handle);
    control.text = windowText(handle);
    control.id = GetDlgCtrlID(handle);
    RECT bounds{};
    GetWindowRect(handle, &bounds);
    // Positions relative to the parent's client area, as the program gave them.
    MapWindowPoints(HWND_DESKTOP, GetAncestor(handle, GA_PARENT),
                    reinterpret_cast<POINT*>(&bounds), 2);
    control.x = bounds.left;
    control.y = bounds.top;
    control.width = bounds.right - bounds.left;
    control.height = bounds.bottom - bounds.top;
    control.visible = IsWindowVisible(handle) != FALSE;
    control.enabled = IsWindowEnabled(handle) != FALSE;
    return control;
}

std::ostream& operator<<(std::ostream& out, const Control& control) {
    return out << control.className << " \"" << control.text << "\" id " << control.id << " at "
               << control.x << "," << control.y << " size " << control.width << "x"
               << control.height << (control.visible ? " visible" : " hidden")
               << (control.enabled ? " enabled" : " disabled");
}

std::vector<Control> listControls(HWND window) {
    struct Search {
        HWND parent;
        std::vector<HWND> found;
    } search{window, {}};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            if (GetAncestor(child, GA_PARENT) == search.parent) search.found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::vector<Control> controls;
    for (HWND child : search.found) controls.push_back(describeControl(child));
    return controls;
}

HWND findControl(HWND window, const std::string& className, const std::string& text) {
    for (const Control& control : listControls(window)) {
        if (control.className == className && control.text == text) return control.handle;
    }
    return nullptr;
}

namespace {

void requireClickable(HWND window) {
    if (!IsWindow(window)) fail("cannot click: the window no longer exists");
    if (!IsWindowVisible(window)) fail("cannot click hidden " + nameWindow(window));
    if (!IsWindowEnabled(window)) fail("cannot click disabled " + nameWindow(window));
    HWND root = GetAncestor(window, GA_ROOT);
    if (!IsWindowEnabled(root)) {
        fail("cannot click " + nameWindow(window) + ": its window " + nameWindow(root) +
             " is disabled");
    }
}

void sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (SendInput(1, &input, sizeof input) != 1) failWithError("SendInput", GetLastError());
}

} // namespace

void clickButton(HWND button) {
    // A posted click would reach a button behind a modal box; a user's click would not.
    requireClickable(button);
    if (!PostMessageA(button, BM_CLICK, 0, 0)) {
        failWithError("cannot click " + nameWindow(button), GetLastError());
    }
}


void moveMouseTo(HWND window, int x, int y) {
    POINT point{x, y};
    if (!ClientToScreen(window, &point)) failWithError("no screen point", GetLastError());
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    POINT from{};
    GetCursorPos(&from);
    // A few steps on the way, so the program sees moves as from a hand, not one jump.
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step) {
        SetCursorPos(from.x + (point.x - from.x) * step / kSteps,
                     from.y + (point.y - from.y) * step / kSteps);
        sendMouse(MOUSEEVENTF_MOVE);
        Sleep(10);
    }
    // Under Wine the pointer can go back to a step on the way after it reached the point (the
    // third of four; in half the runs of the Create Mapset tests on a loaded machine), and a
    // press then lands there: in an opened drop-down list, on the row above the one meant, which
    // closes the list with the old choice. It is set again until it stays at the point.
    int stayed = 0;
    const bool settled = waitUntil(
        [&] {
            POINT now{};
            GetCursorPos(&now);
            if (now.x == point.x && now.y == point.y) return ++stayed == 3;
            stayed = 0;
            SetCursorPos(point.x, point.y);
            sendMouse(MOUSEEVENTF_MOVE);
            return false;
        },
        milliseconds(2000));
    if (!settled) fail("the mouse pointer does not stay over " + nameWindow(window));
}

namespace {

void pressWithMouse(HWND window, int x, int y, DWORD down, DWORD up) {
    requireClickable(window);
    moveMouseTo(window, x, y);
    // A window shown a moment ago may not be under the pointer yet for the desktop (Wine maps it
    // a little later); a press then would land on whatever lies below. (The control itself may
    // hand the point to a part of its own or to its parent, so its top-level window is compared.)
    POINT point{x, y};
    ClientToScreen(window, &point);
    HWND root = GetAncestor(window, GA_ROOT);
    if (!waitUntil([&] { return GetAncestor(WindowFromPoint(point), GA_ROOT) == root; },
                   milliseconds(2000)))
        fail("cannot click " + nameWindow(window) + ": another window is at the point");
    sendMouse(down);
    Sleep(20);
    sendMouse(up);
}

} // namespace

void clickWithMouse(HWND window, int x, int y) {
    pressWithMouse(window, x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void rightClickWithMouse(HWND window, int x, int y) {
    pressWithMouse(window, x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void clickButtonWithMouse(HWND button) {
    RECT client{};
    GetClientRect(button, &client);
    clickWithMouse(button, client.right / 2, client.bottom / 2);
}

void closeWindow(HWND window) {
    if (!PostMessageA(window, WM_CLOSE, 0, 0)) {
        failWithError("cannot close " + nameWindow(window), GetLastError());
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes.

namespace {

constexpr int kMessageTextId = 0xFFFF;

bool isMessageBox(HWND window) {
    return windowClass(window) == "#32770" && GetDlgItem(window, kMessageTextId) != nullptr &&
           GetDlgItem(window, kFileNameBoxId) == nullptr;
}

MessageBoxInfo readMessageBox(HWND box) {
    MessageBoxInfo info;
    info.handle = box;
    info.title = windowText(box);
    info.text = windowText(GetDlgItem(box, kMessageTextId));
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button)) info.buttons.push_back(id);
    }
    return info;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const MessageBoxInfo& box) {
    out << "message box \"" << box.title << "\": \"" << box.text << "\" buttons";
    for (int id : box.buttons) out << " " << id;
    return out;
}

std::optional<MessageBoxInfo> findMessageBox(DWORD processId) {
    for (HWND window : topLevelWindows(processId)) {
        if (isMessageBox(window)) return readMessageBox(window);
    }
    return std::nullopt;
}

std::optional<MessageBoxInfo> waitForMessageBox(DWORD processId, milliseconds timeout) {
    std::optional<MessageBoxInfo> box;
    waitUntil([&] { return (box = findMessageBox(processId)).has_value(); }, timeout);
    return box;
}

void answerMessageBox(const MessageBoxInfo& box, int buttonId) {
    if (std::find(box.buttons.begin(), box.buttons.end(), buttonId) == box.buttons.end()) {
        std::ostringstream out;
        out << "cannot press button " << buttonId << " of " << box;
        fail(out.str());
    }
    if (!PostMessageA(box.handle, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0)) {
        failWithError("cannot answer message box \"" + box.title + "\"", GetLastError());
    }
}

} // namespace oxlo::e2e
