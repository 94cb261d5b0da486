// Numbered top-level windows: frames by flags, client sizes at the screen's DPI, placement,
// reuse of window numbers and the icon.
#include "platform/ui.h"
#include "win32/ui_test_support.h"

#include <gtest/gtest.h>

namespace platform = oxlo::platform;
using namespace oxlo::win32test;

namespace {

constexpr unsigned kMainFlags = platform::kWindowTitleBar | platform::kWindowSystemMenu |
                                platform::kWindowMinimizeBox | platform::kWindowCentreScreen;
constexpr unsigned kAboutFlags = platform::kWindowTitleBar | platform::kWindowCentreActive;

class Windows : public WindowLayerTest {};

POINT centreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(Windows, FrameFollowsTheFlagsAndTheClientAreaHasTheGivenSize) {
    struct Case {
        const char* title;
        unsigned flags;
        int width, height;
        bool systemMenu, minimiseBox;
    };
    const Case cases[] = {
        {"main", kMainFlags, 460, 244, true, true},
        {"about", kAboutFlags, 356, 177, false, false},
        {"menu only", platform::kWindowTitleBar | platform::kWindowSystemMenu, 300, 100, true, false},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_NE(platform::openWindow(number, 10, 10, c.width, c.height, c.title, c.flags), 0);
        HWND window = windowTitled(c.title);
        ASSERT_NE(window, nullptr);
        const LONG_PTR style = styleOf(window);
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, true);
        EXPECT_EQ((style & WS_SYSMENU) != 0, c.systemMenu);
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, c.minimiseBox);
        EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0) << "fixed size";
        RECT client;
        ASSERT_TRUE(::GetClientRect(window, &client));
        EXPECT_EQ(client.right, atScreenDpi(c.width));
        EXPECT_EQ(client.bottom, atScreenDpi(c.height));
        ++number;
    }
}

TEST_F(Windows, CentredOnTheScreen) {
    ASSERT_NE(platform::openWindow(0, 0, 0, 460, 244, "centred", kMainFlags), 0);
    RECT frame;
    ASSERT_TRUE(::GetWindowRect(windowTitled("centred"), &frame));
    const POINT centre = centreOf(frame);
    EXPECT_NEAR(centre.x, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(centre.y, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(Windows, CentredOverTheActiveWindowAndKeptOnTheScreen) {
    ASSERT_NE(platform::openWindow(0, 300, 200, 400, 300, "below", platform::kWindowTitleBar), 0);
    HWND below = windowTitled("below");
    ::SetActiveWindow(below);
    ASSERT_EQ(::GetActiveWindow(), below);
    ASSERT_NE(platform::openWindow(3, 0, 0, 200, 100, "over", kAboutFlags), 0);
    RECT under, over;
    ASSERT_TRUE(::GetWindowRect(below, &under));
    ASSERT_TRUE(::GetWindowRect(windowTitled("over"), &over));
    EXPECT_NEAR(centreOf(over).x, centreOf(under).x, 1);
    EXPECT_NEAR(centreOf(over).y, centreOf(under).y, 1);

    // A small window in the corner would put the centred one left of and above the screen.
    ASSERT_NE(platform::openWindow(0, 0, 0, 60, 30, "corner", platform::kWindowTitleBar), 0);
    ::SetActiveWindow(windowTitled("corner"));
    ASSERT_NE(platform::openWindow(3, 0, 0, 356, 177, "clamped", kAboutFlags), 0);
    ASSERT_TRUE(::GetWindowRect(windowTitled("clamped"), &over));
    EXPECT_EQ(over.left, 0);
    EXPECT_EQ(over.top, 0);
}

TEST_F(Windows, ReopeningANumberReplacesTheWindowAndItsControls) {
    ASSERT_NE(platform::openWindow(0, 0, 0, 200, 100, "first", kMainFlags), 0);
    HWND first = windowTitled("first");
    ASSERT_NE(platform::createControl(4, platform::ControlKind::Button, 5, 5, 50, 20, "&Go"), 0);
    HWND button = controlHandle(4);
    ASSERT_EQ(::GetParent(button), first);

    ASSERT_NE(platform::openWindow(0, 0, 0, 200, 100, "second", kMainFlags), 0);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(::IsWindow(button));
    EXPECT_EQ(controlHandle(4), nullptr);
    EXPECT_EQ(platform::getControlText(4), "") << "the layer must have forgotten the control";

    platform::setWindowTitle(0, "renamed");
    HWND second = windowTitled("renamed");
    ASSERT_NE(second, nullptr);
    platform::closeWindow(0);
    EXPECT_FALSE(::IsWindow(second));
    platform::closeWindow(0); // closing again is harmless
}

TEST_F(Windows, ControlsGoIntoTheNewestWindowAndNumbersAreShared) {
    EXPECT_EQ(platform::createControl(1, platform::ControlKind::Label, 0, 0, 10, 10, "x"), 0)
        << "no window open";
    ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "main", kMainFlags), 0);
    ASSERT_NE(platform::createControl(1, platform::ControlKind::Label, 0, 0, 100, 20, "main's"), 0);
    ASSERT_NE(platform::createControl(2, platform::ControlKind::Button, 0, 30, 100, 20, "kept"), 0);
    HWND mainLabel = controlHandle(1);
    ASSERT_NE(platform::openWindow(1, 0, 0, 300, 200, "task", kMainFlags), 0);
    ASSERT_NE(platform::createControl(1, platform::ControlKind::Label, 0, 0, 100, 20, "task's"), 0);

    EXPECT_FALSE(::IsWindow(mainLabel)) << "the number's earlier control goes, in any window";
    EXPECT_EQ(::GetParent(controlHandle(1)), windowTitled("task"));
    EXPECT_EQ(::GetParent(controlHandle(2)), windowTitled("main")) << "other numbers stay";
    EXPECT_EQ(platform::getControlText(1), "task's");

    // With the task window closed, the main window is the newest open one again.
    platform::closeWindow(1);
    ASSERT_NE(platform::createControl(3, platform::ControlKind::Label, 0, 60, 100, 20, "back"), 0);
    EXPECT_EQ(::GetParent(controlHandle(3)), windowTitled("main"));
}

TEST_F(Windows, ANewWindowShowsWithItsControlsOnlyWhenTheProgramWaitsOrAsks) {
    struct Case {
        const char* what;
        void (*show)();
    };
    const Case cases[] = {
        {"keeping the windows painted", [] { platform::keepWindowsPainted(); }},
        {"waiting for an event", [] {
             // Something for the wait to return on; it returns at the latest with this message.
             ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP + 7, 0, 0);
             platform::waitWindowEvent();
             MSG left;
             while (::PeekMessageA(&left, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE)) {}
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "building", kMainFlags), 0);
        HWND window = windowTitled("building");
        ASSERT_NE(platform::createControl(1, platform::ControlKind::Button, 5, 5, 80, 25, "&Go"), 0);
        EXPECT_FALSE(::IsWindowVisible(window)) << "seen before it was built";
        c.show();
        EXPECT_TRUE(::IsWindowVisible(window));
        EXPECT_TRUE(::IsWindowVisible(controlHandle(1)));
        EXPECT_EQ(::GetActiveWindow(), window);
    }
}

TEST_F(Windows, AHiddenWindowStaysHiddenUntilOpenedAnew) {
    ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "main", kMainFlags), 0);
    platform::keepWindowsPainted();
    HWND main = windowTitled("main");
    ASSERT_TRUE(::IsWindowVisible(main));
    ASSERT_NE(platform::openWindow(1, 0, 0, 300, 200, "task", kMainFlags), 0);
    platform::hideWindow(0);
    EXPECT_FALSE(::IsWindowVisible(main));
    platform::keepWindowsPainted();
    EXPECT_FALSE(::IsWindowVisible(main)) << "a hidden window stays hidden";
    EXPECT_TRUE(::IsWindowVisible(windowTitled("task")));
    EXPECT_EQ(::GetActiveWindow(), windowTitled("task"));

    ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "main again", kMainFlags), 0);
    platform::keepWindowsPainted();
    EXPECT_TRUE(::IsWindowVisible(windowTitled("main again")));
    platform::hideWindow(7); // no such window: nothing happens
}

TEST_F(Windows, WithoutAnIconResourceTheFirstImageIsTheWindowIcon) {
    ASSERT_EQ(::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr)
        << "this test program must not carry icon resource 1";
    ASSERT_NE(platform::openWindow(0, 0, 0, 100, 50, "plain", kMainFlags), 0);
    EXPECT_NE(::SendMessageA(windowTitled("plain"), WM_GETICON, ICON_BIG, 0), 0)
        << "a stock icon at least";
}

} // namespace
