// Leaving Oxlo: Quit and the close box both lead to the About window; GoodBye or a close request
// of either window then ends the program with exit code 0.
#include "e2e_test.h"

namespace oxlo::e2e {
namespace {

class Farewell : public EndToEndTest {
protected:
    // Starts Oxlo and returns its main window after the first scan.
    HWND startAndWaitForMainWindow() {
        oxlo_ = startOxlo();
        HWND window = waitForMainWindow(oxlo_);
        if (window) waitUntil([&] { return findControl(window, "Static", "0 Installed Mapsets"); });
        return window;
    }

    HWND waitForAboutWindow() {
        HWND about = waitForTopLevelWindow(oxlo_.id(), kAboutWindowTitle);
        EXPECT_NE(about, nullptr) << "no window \"" << kAboutWindowTitle << "\"";
        return about;
    }

    void expectEndsWithExitCodeZero() {
        const std::optional<DWORD> code = oxlo_.waitForExit();
        ASSERT_TRUE(code.has_value()) << "Oxlo is still running";
        EXPECT_EQ(*code, 0u);
    }

    Process oxlo_;
};

TEST_F(Farewell, QuitShowsTheAboutWindowAndGoodByeEndsTheProgram) {
    HWND mainWindow = startAndWaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);
    clickButton(findControl(mainWindow, "Button", "&Quit"));
    HWND about = waitForAboutWindow();
    ASSERT_NE(about, nullptr);

    const SIZE client = clientSize(about);
    EXPECT_EQ(client.cx, 356);
    EXPECT_EQ(client.cy, 177);
    const LONG_PTR style = GetWindowLongPtrA(about, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "the About window has no close box";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    // Centred over the main window (which is still there, behind it).
    RECT aboutFrame{}, mainFrame{};
    GetWindowRect(about, &aboutFrame);
    GetWindowRect(mainWindow, &mainFrame);
    EXPECT_NEAR((aboutFrame.left + aboutFrame.right) / 2, (mainFrame.left + mainFrame.right) / 2, 1);
    EXPECT_NEAR((aboutFrame.top + aboutFrame.bottom) / 2, (mainFrame.top + mainFrame.bottom) / 2, 1);

    expectControls(about,
                   {
                       {"Static", "Oxlo v1.04", 45, 10, 330, 30},
                       {"Static", "By https://example.org/oxlo", 45, 40, 330, 20},
                       {"Static", "Thanks you for using Oxlo. Please visit", 10, 70, 190, 15},
                       {"Static", "example.org/oxlo", 205, 70, 110, 15},
                       {"Button", "GoodBye", 125, 125, 100, 35},
                       {"Static", "more free GPS goodies. Oxlo includes a copy of freeware cgpsmapper.",
                        10, 90, 350, 15},
                       {"Static", "for", 320, 70, 20, 15},
                       {"Static", "", 10, 15, 32, 32},
                   });
    // The About window took the control numbers of the main window's controls.
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(listControls(mainWindow).empty()) << "the main window kept controls";
    saveScreenshot(about, "about-window");

    clickButton(findControl(about, "Button", "GoodBye"));
    expectEndsWithExitCodeZero();
}

// The close box of the main window leads to the About window too; closing either window then
// ends the farewell loop (the About window has no close box, but it can get a close request).
TEST_F(Farewell, ACloseRequestOfEitherWindowEndsTheProgram) {
    for (const bool closeMainWindow : {true, false}) {
        SCOPED_TRACE(closeMainWindow ? "closing the main window" : "closing the About window");
        HWND mainWindow = startAndWaitForMainWindow();
        ASSERT_NE(mainWindow, nullptr);
        closeWindow(mainWindow);
        HWND about = waitForAboutWindow();
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(oxlo_.running());

        closeWindow(closeMainWindow ? mainWindow : about);
        expectEndsWithExitCodeZero();
    }
}

} // namespace
} // namespace oxlo::e2e
