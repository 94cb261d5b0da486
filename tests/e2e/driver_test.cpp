// Checks the driver itself against a small window of known content, so that a failure in the
// program's end-to-end tests points at the program rather than at the harness.
#include "e2e_test.h"

#include <fstream>
#include <stdexcept>

namespace oxlo::e2e {
namespace {

constexpr char kFixtureTitle[] = "Driver Fixture";

class Driver : public EndToEndTest {
protected:
    void SetUp() override {
        fixture_ = Process::start(requiredEnvironment("OXLO_E2E_HELPERS") + "\\driver_fixture.exe",
                                  workFolder());
        window_ = waitForTopLevelWindow(fixture_.id(), kFixtureTitle);
        ASSERT_NE(window_, nullptr) << "the fixture window did not show";
        label_ = findControl(window_, "Static", "Ready");
        ASSERT_NE(label_, nullptr);
    }

    HWND button(const char* caption) {
        HWND found = findControl(window_, "Button", caption);
        EXPECT_NE(found, nullptr) << caption;
        return found;
    }

    bool labelBecomes(const std::string& text) {
        return waitUntil([&] { return windowText(label_) == text; });
    }

    void writeFile(const std::string& path) {
        std::ofstream(path) << "map";
    }

    Process fixture_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
};

TEST_F(Driver, ListsDirectChildrenInCreationOrderWithTheirGeometryAndState) {
    expectControls(window_, {
                                {"Static", "Ready", 10, 10, 380, 20},
                                {"Button", "&Ask", 10, 40, 80, 25},
                                {"Button", "&Open", 100, 40, 80, 25},
                                {"SysListView32", "", 10, 75, 300, 120},
                                {"Button", "&Browse", 190, 40, 80, 25},
                                {"Button", "&Never", 280, 40, 80, 25, false},
                            });
    EXPECT_EQ(describeControl(label_).id, 100);
}

TEST_F(Driver, RefusesClicksAUserCouldNotMake) {
    EXPECT_THROW(clickButton(button("&Never")), std::runtime_error);

    clickButton(button("&Ask"));
    auto box = waitForMessageBox(fixture_.id());
    ASSERT_TRUE(box.has_value());
    // Behind the modal box the window is disabled, and a posted click would still get through.
    EXPECT_THROW(clickButton(button("&Open")), std::runtime_error);
    answerMessageBox(*box, IDNO);
    EXPECT_TRUE(waitForWindowGone(box->handle));
    EXPECT_TRUE(labelBecomes("No")) << windowText(label_);
    EXPECT_EQ(findTopLevelWindow(fixture_.id(), "Pick Maps"), nullptr)
        << "the refused click reached the button";
}

TEST_F(Driver, ReadsAndAnswersMessageBoxes) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(::testing::Message() << "answer " << answer);
        clickButton(button("&Ask"));
        auto box = waitForMessageBox(fixture_.id());
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->title, "Question");
        EXPECT_EQ(box->text, "Continue?");
        EXPECT_EQ(box->buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_THROW(answerMessageBox(*box, IDOK), std::runtime_error) << "the box has no OK";
        answerMessageBox(*box, answer);
        EXPECT_TRUE(labelBecomes(answer == IDYES ? "Yes" : "No")) << windowText(label_);
        EXPECT_FALSE(findMessageBox(fixture_.id()).has_value());
    }
}

TEST_F(Driver, ReadsAndSelectsRowsOfAnotherProcesssListView) {
    HWND list = findControl(window_, "SysListView32", "");
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    EXPECT_EQ(view.columnCount(), 2);
    EXPECT_EQ(view.columnTitle(0), "Code");
    EXPECT_EQ(view.columnTitle(1), "Name");
    EXPECT_EQ(view.columnWidth(0), 80);
    EXPECT_EQ(view.columnWidth(1), 200);
    EXPECT_EQ(view.rows(), (std::vector<std::vector<std::string>>{
                               {"FID6001", "Alpha"}, {"FID6002", "Beta"}, {"CODE0007", "Gamma"}}));
    EXPECT_EQ(view.selectedRow(), -1);

    view.selectRow(2);
    EXPECT_EQ(view.selectedRow(), 2);
    EXPECT_TRUE(labelBecomes("Selected 2")) << windowText(label_);
}

TEST_F(Driver, ChoosesOneOrSeveralFilesInTheOpenDialog) {
    const std::string maps = workFolder() + "\\maps";
    makeEmptyFolder(maps);
    writeFile(maps + "\\12345678.img");
    writeFile(maps + "\\23456789.img");

    clickButton(button("&Open"));
    HWND dialog = waitForFileDialog(fixture_.id(), "Pick Maps");
    ASSERT_NE(dialog, nullptr);
    chooseFiles(dialog, maps, {"12345678.img", "23456789.img"});
    EXPECT_TRUE(waitForWindowGone(dialog));
    EXPECT_TRUE(labelBecomes(maps + "|12345678.img|23456789.img")) << windowText(label_);

    // The dialog opens in the folder it used last; chooseFiles must not depend on that.
    clickButton(button("&Open"));
    dialog = waitForFileDialog(fixture_.id(), "Pick Maps");
    ASSERT_NE(dialog, nullptr);
    chooseFiles(dialog, workFolder() + "\\maps", {"23456789.img"});
    EXPECT_TRUE(waitForWindowGone(dialog));
    EXPECT_TRUE(labelBecomes(maps + "\\23456789.img")) << windowText(label_);
}

TEST_F(Driver, CancelsTheOpenDialog) {
    clickButton(button("&Open"));
    HWND dialog = waitForFileDialog(fixture_.id(), "Pick Maps");
    ASSERT_NE(dialog, nullptr);
    cancelDialog(dialog);
    EXPECT_TRUE(waitForWindowGone(dialog));
    EXPECT_TRUE(labelBecomes("Cancelled")) << windowText(label_);
}

TEST_F(Driver, ChoosesAFolderInTheFolderChooser) {
    const std::string folder = workFolder() + "\\chosen";
    makeEmptyFolder(folder);
    clickButton(button("&Browse"));
    HWND dialog = waitForTopLevelWindow(fixture_.id(), "Browse for Folder", kDefaultWait, "#32770");
    ASSERT_NE(dialog, nullptr);
    chooseFolder(dialog, folder);
    EXPECT_TRUE(waitForWindowGone(dialog));
    EXPECT_TRUE(labelBecomes(folder)) << windowText(label_);
}

TEST_F(Driver, SavesAScreenshotOfTheWholeWindow) {
    const std::string path = workFolder() + "\\fixture.bmp";
    saveScreenshot(window_, "driver-fixture"); // for people to look at
    e2e::saveScreenshot(window_, path);

    std::ifstream file(path, std::ios::binary);
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER header{};
    file.read(reinterpret_cast<char*>(&fileHeader), sizeof fileHeader);
    file.read(reinterpret_cast<char*>(&header), sizeof header);
    ASSERT_TRUE(file) << path;
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    EXPECT_EQ(fileHeader.bfType, 0x4D42);
    EXPECT_EQ(header.biWidth, bounds.right - bounds.left);
    EXPECT_EQ(header.biHeight, bounds.bottom - bounds.top);
    EXPECT_EQ(header.biBitCount, 24);
    // A real picture of a window has more than one colour (frame, face, text).
    std::string pixels((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(pixels.empty());
    EXPECT_NE(pixels.find_first_not_of(pixels[0]), std::string::npos) << "a blank picture";
}

TEST_F(Driver, ReportsTheExitCodeOfAClosedProgram) {
    EXPECT_FALSE(fixture_.waitForExit(milliseconds(50)).has_value()) << "still running";
    closeWindow(window_);
    EXPECT_EQ(fixture_.waitForExit(), std::optional<DWORD>(7));
    EXPECT_TRUE(topLevelWindows(fixture_.id()).empty());
}

} // namespace
} // namespace oxlo::e2e
