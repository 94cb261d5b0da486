// Numbered top-level windows and the event queue of ui.h on the Win32 API.
#include "platform/win32/wide_text.h"
#include "platform/win32/window_layer_state.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace oxlo::platform {

using namespace win32;

namespace win32 {

namespace {

constexpr wchar_t kClassName[] = L"OxloWindow";
// Posted to the thread to end a GetMessage wait when an event was raised by a message that
// GetMessage handled internally (a message sent from another thread or process).
constexpr UINT kWakeMessage = WM_APP + 0x0E1;

using DpiAwarenessSetter = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);

HICON loadResourceIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_SHARED));
}

int windowNumberOf(HWND window) {
    for (const auto& [number, entry] : layer().windows)
        if (entry.window.get() == window) return number;
    return -1;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0)
            onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        else if (HIWORD(wParam) == 0) // a menu's (an accelerator's would say 1)
            raiseCommandEvent(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CONTEXTMENU: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (raiseContextMenuEvent(reinterpret_cast<HWND>(wParam), at)) return 0;
        break;
    }
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = onStaticColour(reinterpret_cast<HWND>(lParam),
                                          reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_CLOSE: {
        // A close request for the running loop; the loop decides whether the window goes.
        const int number = windowNumberOf(window);
        if (number >= 0) raiseCloseEvent(number);
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void wakeWaitingLoop() {
    if (layer().waiting) ::PostThreadMessageW(::GetCurrentThreadId(), kWakeMessage, 0, 0);
}

bool takeEvent(EventKind* kind) {
    auto& events = layer().events;
    if (events.empty()) return false;
    const QueuedEvent event = events.front();
    events.pop_front();
    if (event.kind == EventKind::Control || event.kind == EventKind::ContextMenu)
        layer().lastEventControl = event.control;
    if (event.kind == EventKind::Command) layer().lastEventCommand = event.command;
    if (event.kind == EventKind::ContextMenu) layer().contextPoint = event.at;
    if (event.kind == EventKind::Drop) layer().lastDrop = event.files;
    *kind = event.kind;
    return true;
}

POINT placement(unsigned flags, int x, int y, int outerWidth, int outerHeight) {
    if (flags & kWindowCentreActive) {
        HWND active = ::GetActiveWindow();
        RECT over;
        if (active && ::GetWindowRect(active, &over)) {
            const LONG left = over.left + ((over.right - over.left) - outerWidth) / 2;
            const LONG top = over.top + ((over.bottom - over.top) - outerHeight) / 2;
            return {std::max<LONG>(left, 0), std::max<LONG>(top, 0)};
        }
        flags |= kWindowCentreScreen; // nothing active: the screen is the best centre left
    }
    if (flags & kWindowCentreScreen) {
        return {(::GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                (::GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2};
    }
    return {scaled(x), scaled(y)};
}

} // namespace

WindowLayer& layer() {
    static WindowLayer state;
    return state;
}

const wchar_t* windowClassName() { return kClassName; }

HWND newestWindow(int* number) {
    const WindowEntry* newest = nullptr;
    *number = -1;
    for (const auto& [candidate, entry] : layer().windows) {
        if (!newest || entry.openedAs > newest->openedAs) {
            newest = &entry;
            *number = candidate;
        }
    }
    return newest ? newest->window.get() : nullptr;
}

void ensureWindowClass() {
    auto& state = layer();
    if (state.dpi != 0) return;
    HDC screen = ::GetDC(nullptr);
    state.dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    if (state.dpi <= 0) state.dpi = 96;

    // oxlo.exe carries its icon as resource 1; a program without it gets the icons set per
    // window in openWindow.
    state.classIcon = loadResourceIcon(SM_CXICON, SM_CYICON);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hIcon = state.classIcon;
    windowClass.hIconSm = state.classIcon ? loadResourceIcon(SM_CXSMICON, SM_CYSMICON) : nullptr;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);
}

int scaled(int pixelsAt96Dpi) {
    ensureWindowClass();
    return ::MulDiv(pixelsAt96Dpi, layer().dpi, 96);
}

void showNewWindows() {
    auto& state = layer();
    std::vector<WindowEntry*> fresh;
    for (auto& [number, entry] : state.windows)
        if (!entry.shown) fresh.push_back(&entry);
    // In the order of opening, so the newest ends up in front and active.
    std::sort(fresh.begin(), fresh.end(),
              [](const WindowEntry* a, const WindowEntry* b) { return a->openedAs < b->openedAs; });
    QuietScope quiet; // activation moves the focus, which is no user's doing
    for (WindowEntry* entry : fresh) {
        entry->shown = true;
        ::ShowWindow(entry->window.get(), SW_SHOWNORMAL);
        ::UpdateWindow(entry->window.get());
    }
}

void raiseControlEvent(int number) {
    if (layer().quiet > 0) return;
    layer().events.push_back({EventKind::Control, number, -1});
    wakeWaitingLoop();
}

void raiseCloseEvent(int window) {
    layer().events.push_back({EventKind::Close, -1, window});
    wakeWaitingLoop();
}

void raiseCommandEvent(int command) {
    QueuedEvent event;
    event.kind = EventKind::Command;
    event.command = command;
    layer().events.push_back(event);
    wakeWaitingLoop();
}

bool raiseContextMenuEvent(HWND control, POINT at) {
    int number = -1;
    if (!controlByHandle(control, &number)) return false;
    QueuedEvent event;
    event.kind = EventKind::ContextMenu;
    event.control = number;
    event.at = at;
    layer().events.push_back(event);
    wakeWaitingLoop();
    return true;
}

} // namespace win32

void initialiseWindowing() {
    // Crisp text at high DPI: per-monitor v2 where Windows 10 1703+ offers it, else system-wide.
    if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll")) {
        auto setAwareness = reinterpret_cast<DpiAwarenessSetter>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
        if (!setAwareness || !setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
            ::SetProcessDPIAware();
    }
    ::InitCommonControls();
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&classes);
    ensureWindowClass();
}

int openWindow(int number, int x, int y, int width, int height, const std::string& title,
               unsigned flags) {
    ensureWindowClass();
    QuietScope quiet; // activating the new window takes the focus from any field
    closeWindow(number);

    DWORD style = WS_POPUP | WS_BORDER;
    if (flags & (kWindowTitleBar | kWindowSystemMenu | kWindowMinimizeBox)) {
        // Fixed size: never a sizing frame or a maximise box.
        style = WS_OVERLAPPED | WS_CAPTION;
        if (flags & kWindowSystemMenu) style |= WS_SYSMENU;
        if (flags & kWindowMinimizeBox) style |= WS_MINIMIZEBOX;
    }
    const DWORD exStyle = 0;
    RECT outer{0, 0, scaled(width), scaled(height)};
    ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    const POINT at = placement(flags, x, y, outerWidth, outerHeight);

    HWND window = ::CreateWindowExW(exStyle, kClassName, win32::wide(title).c_str(), style, at.x,
                                    at.y, outerWidth, outerHeight, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!window) return 0;
    auto& state = layer();
    if (!state.classIcon) {
        // No icon resource in this program: the first image it loaded stands in for it.
        HICON icon = state.images.empty() ? nullptr : state.images.front().get();
        if (!icon) icon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512)); // IDI_APPLICATION
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    WindowEntry& entry = state.windows[number];
    entry.window.reset(window);
    entry.openedAs = ++state.openings;
    return 1; // shown once its controls are there (showNewWindows)
}

void closeWindow(int number) {
    auto& state = layer();
    auto found = state.windows.find(number);
    if (found == state.windows.end()) return;
    QuietScope quiet;
    std::vector<int> children;
    for (const auto& [control, entry] : state.controls)
        if (entry.window == number) children.push_back(control);
    for (int control : children) destroyControl(control);

    UniqueWindow window = std::move(found->second.window);
    state.windows.erase(found); // forgotten first: messages sent while it dies are not events
    window.reset();
    std::erase_if(state.events, [number](const QueuedEvent& event) {
        return event.kind == EventKind::Close && event.window == number;
    });
}

void hideWindow(int number) {
    auto found = layer().windows.find(number);
    if (found == layer().windows.end()) return;
    QuietScope quiet;
    found->second.shown = true; // never shown again by showNewWindows
    ::ShowWindow(found->second.window.get(), SW_HIDE);
}

void closeAllWindows() {
    while (!layer().windows.empty()) closeWindow(layer().windows.begin()->first);
}

void setWindowTitle(int number, const std::string& title) {
    auto found = layer().windows.find(number);
    if (found != layer().windows.end()) ::SetWindowTextW(found->second.window.get(), win32::wide(title).c_str());
}

EventKind waitWindowEvent() {
    showNewWindows();
    auto& state = layer();
    EventKind kind = EventKind::Other;
    for (;;) {
        if (takeEvent(&kind)) return kind;
        MSG message;
        state.waiting = true;
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        state.waiting = false;
        if (got == 0 || got == -1) return EventKind::Close; // WM_QUIT, or no queue to wait on
        if (message.hwnd == nullptr && message.message == kWakeMessage) continue;
        // Keyboard navigation as users know it from dialogs: Tab between controls and the "&"
        // mnemonics pressing their buttons. Such a key is still an event of its own.
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (!(root && windowNumberOf(root) >= 0 && ::IsDialogMessageW(root, &message))) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (takeEvent(&kind)) return kind;
        return EventKind::Other;
    }
}

int eventControl() { return layer().lastEventControl; }

int eventCommand() { return layer().lastEventCommand; }

void keepWindowsPainted() {
    showNewWindows();
    // Only WM_PAINT leaves the queue: clicks and keys wait until the task is done.
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageW(&message);
    for (const auto& [number, entry] : layer().windows) ::UpdateWindow(entry.window.get());
}

} // namespace oxlo::platform

