// Helpers for the tests of the Win32 window layer and dialogs: finding the real windows behind
// the numbers, waiting for events with a time limit, and answering dialogs from another thread.
#pragma once

#include "platform/ui.h"
#include "platform/win32/window_layer_state.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace oxlo::win32test {

using platform::EventKind;

// A plain test window: a title bar with the system menu, centred on the screen.
inline constexpr unsigned kPlainWindowFlags =
    platform::kWindowTitleBar | platform::kWindowSystemMenu | platform::kWindowCentreScreen;

inline int screenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// What a size given at 96 DPI must measure on this screen.
inline int atScreenDpi(int pixels) { return ::MulDiv(pixels, screenDpi(), 96); }

// The top-level window of this thread with that title, or null.
inline HWND windowTitled(const std::string& title) {
    struct Search {
        std::string title;
        HWND found = nullptr;
    } search{title};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char text[256] = {};
            ::GetWindowTextA(window, text, sizeof text);
            if (s->title != text) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The control of that number, in whichever of our windows it lives.
inline HWND controlHandle(int number) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{platform::win32::kControlIdBase + number};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            s->found = ::GetDlgItem(window, s->id);
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string classOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

inline LONG_PTR styleOf(HWND window) { return ::GetWindowLongPtrA(window, GWL_STYLE); }
inline LONG_PTR exStyleOf(HWND window) { return ::GetWindowLongPtrA(window, GWL_EXSTYLE); }

struct Event {
    EventKind kind;
    int control; // -1 unless kind is Control
};

inline std::string describe(const Event& e) {
    if (e.kind == EventKind::Close) return "close request";
    return "control event " + std::to_string(e.control);
}

// The next Control or Close event, passing over Other ones; nothing when none came within
// `limitMs`. A thread timer keeps the wait from blocking for ever.
inline std::optional<Event> nextEvent(DWORD limitMs = 3000) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
    const ULONGLONG end = ::GetTickCount64() + limitMs;
    std::optional<Event> found;
    while (::GetTickCount64() < end) {
        const EventKind kind = platform::waitWindowEvent();
        if (kind == EventKind::Other) continue;
        found = Event{kind, kind == EventKind::Control ? platform::eventControl() : -1};
        break;
    }
    ::KillTimer(nullptr, timer);
    return found;
}

// Runs the queue until it is empty, so that a test starts without pending messages; events that
// came out of it are forgotten.
inline void settle() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    platform::win32::layer().events.clear();
}

// Closes every window and forgets every font and image after each test.
class WindowLayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { platform::initialiseWindowing(); }
    void TearDown() override {
        platform::closeAllWindows();
        platform::releaseFonts();
        platform::releaseImages();
        settle();
    }
};

// Waits on its own thread for a top-level dialog box ("#32770") of this process with the given
// title, then runs `answer` on it. Joined when it goes out of scope.
class DialogAnswerer {
public:
    DialogAnswerer(std::string title, std::function<void(HWND)> answer)
        : title_(std::move(title)), answer_(std::move(answer)), thread_([this] { run(); }) {}
    ~DialogAnswerer() { thread_.join(); }
    bool answered() const { return answered_; }

private:
    void run() {
        for (int i = 0; i < 1500; ++i) { // 30 s: a file dialog under a cold Wine is slow
            if (HWND dialog = findDialog()) {
                ::Sleep(100); // let it finish its own start-up
                answer_(dialog);
                answered_ = true;
                return;
            }
            ::Sleep(20);
        }
    }
    HWND findDialog() const {
        struct Search {
            const std::string* title;
            HWND found = nullptr;
        } search{&title_};
        ::EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                char text[256] = {};
                ::GetWindowTextA(window, text, sizeof text);
                char name[16] = {};
                ::GetClassNameA(window, name, sizeof name);
                if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) ||
                    *s->title != text || std::string(name) != "#32770")
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::string title_;
    std::function<void(HWND)> answer_;
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

} // namespace oxlo::win32test
