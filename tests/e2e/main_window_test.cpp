// The main window as a user meets it: its frame and controls after the first scan, the Edit
// button greyed without a selection, and Uninstall without a selection.
#include "e2e_test.h"

namespace oxlo::e2e {
namespace {

class MainWindow : public EndToEndTest {
protected:
    void SetUp() override {
        oxlo_ = startOxlo();
        window_ = waitForMainWindow(oxlo_);
        ASSERT_NE(window_, nullptr);
        // The scan replaces the label's text; Edit is greyed while no row is selected.
        ASSERT_TRUE(waitUntil([&] { return findControl(window_, "Static", "0 Installed Mapsets"); }))
            << "the label never showed the count of an empty catalogue";
        ASSERT_TRUE(waitUntil([&] {
            HWND edit = findControl(window_, "Button", "&Edit");
            return edit && !IsWindowEnabled(edit);
        })) << "the Edit button is not greyed without a selection";
    }

    void TearDown() override {
        if (oxlo_.running()) oxlo_.terminate();
    }

    Process oxlo_;
    HWND window_ = nullptr;
};

TEST_F(MainWindow, ShowsTheEmptyCatalogueWithItsButtons) {
    const SIZE client = clientSize(window_);
    EXPECT_EQ(client.cx, 460);
    EXPECT_EQ(client.cy, 244);

    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU) << "no close box";
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";

    // Centred on the screen (the frame may make it a pixel off).
    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    expectControls(window_, {
                                {"Static", "0 Installed Mapsets", 15, 15, 280, 20},
                                {"SysListView32", "", 15, 35, 330, 190},
                                {"Button", "&Refresh", 360, 35, 85, 30},
                                {"Button", "&New", 360, 75, 85, 30},
                                {"Button", "&Edit", 360, 115, 85, 30, false},
                                {"Button", "&Uninstall", 360, 155, 85, 30},
                                {"Button", "&Quit", 360, 195, 85, 30},
                            });

    HWND list = findControl(window_, "SysListView32", "");
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    EXPECT_EQ(view.columnCount(), 2);
    EXPECT_EQ(view.columnTitle(0), "FID/CODE");
    EXPECT_EQ(view.columnWidth(0), 75);
    EXPECT_EQ(view.columnTitle(1), "Name");
    EXPECT_EQ(view.columnWidth(1), 250);
    EXPECT_EQ(view.rowCount(), 0);
    EXPECT_EQ(view.selectedRow(), -1);

    saveScreenshot(window_, "main-window");
}

TEST_F(MainWindow, UninstallWithoutASelectionOnlyWarns) {
    clickButton(findControl(window_, "Button", "&Uninstall"));
    auto box = waitForMessageBox(oxlo_.id());
    ASSERT_TRUE(box.has_value()) << "no message box after Uninstall";
    EXPECT_EQ(box->title, "Uninstall Mapset");
    EXPECT_EQ(box->text, "Please select a mapset to uninstall.");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(IsWindowEnabled(window_)) << "the box must be modal";
    saveScreenshot(box->handle, "uninstall-without-selection");

    answerMessageBox(*box, IDOK);
    ASSERT_TRUE(waitForWindowGone(box->handle));
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(window_) != FALSE; }));
    EXPECT_FALSE(findMessageBox(oxlo_.id()).has_value()) << "a second box followed";
    EXPECT_TRUE(oxlo_.running());
    // Nothing else happened: the window and its list are as before.
    EXPECT_EQ(listControls(window_).size(), 7u);
    EXPECT_NE(findControl(window_, "Static", "0 Installed Mapsets"), nullptr);
}

} // namespace
} // namespace oxlo::e2e
