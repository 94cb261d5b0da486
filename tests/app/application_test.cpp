// Start-up, the About and farewell window, shutdown and the run's exit code.
#include "app/shell_test.h"

#include "app/application.h"
#include "resources/shared_resources.h"
#include "platform/services.h"
#include "support/file_bytes.h"
#include "support/test_folder.h"

#include <fstream>

#include <string>
#include <vector>

namespace oxlo::app_test {

void queueQuitAndGoodBye()
{
    platform::scripted::queueControlEvent(6);
    platform::scripted::queueControlEvent(4);
}

int runScript()
{
    const int exitCode = app::runOxlo();
    EXPECT_EQ(platform::scripted::pendingSteps(), 0) << "the run ended before its script did";
    return exitCode;
}

namespace {

namespace scripted = platform::scripted;
using platform::ControlKind;

constexpr int kQuitButton = 6, kLinkButton = 3, kGoodByeButton = 4;
const std::string kWebAddress = "https://example.org/oxlo";

void expectFont(platform::FontHandle font, const std::string& face, int points, const char* name)
{
    SCOPED_TRACE(name);
    const scripted::FontRecord* record = scripted::findFont(font);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->face, face);
    EXPECT_EQ(record->points, points);
    EXPECT_TRUE(record->bold);
}

void expectAboutWindow()
{
    const scripted::WindowRecord* window = scripted::findWindow(3);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title, "About Oxlo");
    EXPECT_EQ(window->width, 356);
    EXPECT_EQ(window->height, 177);
    EXPECT_EQ(window->flags, platform::kWindowTitleBar | platform::kWindowCentreActive);
    EXPECT_NE(scripted::findWindow(0), nullptr) << "the main window stays behind it";

    struct Expected {
        int number;
        ControlKind kind;
        int x, y, width, height;
        std::string text;
        unsigned options;
        platform::FontHandle font;
    };
    const Expected expected[] = {
        {0, ControlKind::Label, 45, 10, 330, 30, "Oxlo v1.04", platform::kControlCentred,
         resources::bannerFont},
        {1, ControlKind::Label, 45, 40, 330, 20, "By " + kWebAddress, platform::kControlCentred,
         resources::labelFont},
        {2, ControlKind::Label, 10, 70, 190, 15, "Thanks you for using Oxlo. Please visit", 0, 0},
        {3, ControlKind::Link, 205, 70, 110, 15, "example.org/oxlo", 0, resources::buttonFont},
        {4, ControlKind::Button, 125, 125, 100, 35, "GoodBye", 0, resources::buttonFont},
        {5, ControlKind::Label, 10, 90, 350, 15,
         "more free GPS goodies. Oxlo includes a copy of freeware cgpsmapper.", 0, 0},
        {6, ControlKind::Label, 320, 70, 20, 15, "for", 0, 0},
        {7, ControlKind::Image, 10, 15, 32, 32, "", 0, 0},
    };
    std::vector<scripted::ControlRecord> live;
    for (const scripted::ControlRecord& control : scripted::liveControls()) {
        if (control.window == 3) {
            live.push_back(control);
        }
    }
    ASSERT_EQ(live.size(), std::size(expected));
    EXPECT_EQ(scripted::liveControls().size(), live.size())
        << "the main window's controls must be gone";
    for (std::size_t i = 0; i < live.size(); ++i) {
        const Expected& want = expected[i];
        const scripted::ControlRecord& got = live[i];
        SCOPED_TRACE("creation position " + std::to_string(i) + ", control " +
                     std::to_string(want.number));
        EXPECT_EQ(got.number, want.number);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.options, want.options);
        EXPECT_EQ(got.font, want.font);
    }
    EXPECT_NE(resources::appIcon, 0);
    EXPECT_EQ(live.back().image, resources::appIcon);
}

// A numbered file left open by a task: the shutdown must close it, writing out its buffer.
struct OpenFileProbe {
    std::string path = oxlo::testing::freshTestFolder("app-shutdown") + "\\probe.txt";

    void queueOpen() const
    {
        scripted::queueAction([path = path] {
            ASSERT_EQ(platform::createFile(9, path), 1);
            platform::writeString(9, "left open");
        });
    }

    std::string contentAfterRun() const
    {
        return oxlo::testing::readWholeWindowsFile(path).value_or("");
    }
};

void expectShutDown()
{
    EXPECT_EQ(scripted::liveFontCount(), 0);
    EXPECT_EQ(scripted::liveImageCount(), 0);
    EXPECT_EQ(scripted::findWindow(0), nullptr);
    EXPECT_EQ(scripted::findWindow(3), nullptr);
}

TEST_F(ShellTest, StartUpLoadsTheFontsInOrderAndTheIcon)
{
    scripted::queueAction([] {
        expectFont(resources::labelFont, "MS Sans Serif", 10, "labelFont");
        expectFont(resources::buttonFont, "MS Sans Serif", 8, "buttonFont");
        expectFont(resources::bannerFont, "Comic Sans MS", 14, "bannerFont");
        // The layer hands out handles in the order of loading.
        EXPECT_LT(resources::labelFont, resources::buttonFont);
        EXPECT_LT(resources::buttonFont, resources::bannerFont);
        EXPECT_EQ(scripted::liveFontCount(), 3);
        EXPECT_EQ(scripted::liveImageCount(), 1);
        EXPECT_EQ(scripted::findControl(2)->font, resources::buttonFont);
    });
    queueQuitAndGoodBye();
    EXPECT_EQ(runScript(), 0);
}

TEST_F(ShellTest, ToolPathsJoinFolderAndProgramWithOneBackslash)
{
    struct Case {
        std::string folder;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\Tools", "C:\\Tools\\cgpsmapper.exe"},
        {"C:\\Tools\\", "C:\\Tools\\cgpsmapper.exe"},
        {"C:\\", "C:\\cgpsmapper.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(app::toolPath(c.folder, "cgpsmapper.exe"), c.expected);
    }
}

TEST_F(ShellTest, ToolPathsFollowTheCurrentFolderAtStartUp)
{
    const std::string startFolder = platform::getCurrentDirectory();
    for (const std::string name : {"app-paths-a", "app-paths-b"}) {
        SCOPED_TRACE(name);
        SetUp();
        const std::string folder = oxlo::testing::freshTestFolder(name);
        ASSERT_EQ(platform::setCurrentDirectory(folder), 1);
        queueQuitAndGoodBye();
        const int exitCode = runScript();
        platform::setCurrentDirectory(startFolder);

        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(resources::compilerPath, folder + "\\cgpsmapper.exe");
        EXPECT_EQ(resources::previewPath, folder + "\\cpreview.exe");
        EXPECT_EQ(resources::mkgmapPath, folder + "\\mkgmap.jar");
    }
}

TEST_F(ShellTest, QuitAndCloseBoxBothLeadToTheAboutWindow)
{
    struct Case {
        const char* name;
        void (*queueLeave)();
    };
    const Case cases[] = {
        {"Quit", [] { scripted::queueControlEvent(kQuitButton); }},
        {"close box", [] { scripted::queueClose(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.queueLeave();
        scripted::queueAction(expectAboutWindow);
        scripted::queueControlEvent(kGoodByeButton);
        EXPECT_EQ(runScript(), 0);
        EXPECT_TRUE(scripted::shownMessages().empty());
        EXPECT_EQ(standIns().calls, std::vector<std::string>{"scan"});
    }
}

TEST_F(ShellTest, FarewellEndsWithZeroAndAFullShutdownEitherWay)
{
    struct Case {
        const char* name;
        void (*queueEnd)();
    };
    const Case cases[] = {
        {"GoodBye", [] { scripted::queueControlEvent(kGoodByeButton); }},
        {"close request", [] { scripted::queueClose(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const OpenFileProbe probe;
        probe.queueOpen();
        scripted::queueControlEvent(kQuitButton);
        // Other events do not end the farewell loop.
        scripted::queueOtherEvent();
        scripted::queueAction([] { EXPECT_NE(scripted::findWindow(3), nullptr); });
        c.queueEnd();

        EXPECT_EQ(runScript(), 0);
        expectShutDown();
        EXPECT_EQ(probe.contentAfterRun(), "left open");
        EXPECT_TRUE(scripted::openedWebAddresses().empty());
    }
}

TEST_F(ShellTest, TheLinkOpensTheAddressEachTimeAndKeepsTheWindow)
{
    scripted::queueControlEvent(kQuitButton);
    for (int click = 0; click < 3; ++click) {
        scripted::queueControlEvent(kLinkButton);
    }
    scripted::queueAction([] {
        EXPECT_NE(scripted::findWindow(3), nullptr);
        EXPECT_EQ(scripted::openedWebAddresses(), std::vector<std::string>(3, kWebAddress));
    });
    scripted::queueControlEvent(kGoodByeButton);
    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(scripted::openedWebAddresses().size(), 3u);
}

TEST_F(ShellTest, WithoutAMainWindowTheRunSaysSoAndEndsWithOne)
{
    struct Case {
        const char* name;
        bool refusedAtStart;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"at start-up", true, {}},
        {"when rebuilt after New", false,
         {"scan", "openCreate", "creationMode 1", "panelHidden 1", "runCreate"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.refusedAtStart) {
            scripted::refuseWindow(0, true);
        } else {
            standIns().duringTask = [] { scripted::refuseWindow(0, true); };
            scripted::queueControlEvent(3);
            scripted::queueClose(); // the Create Mapset window
        }
        scripted::answerNextMessage(platform::kAnswerOk);

        EXPECT_EQ(runScript(), 1);
        const std::vector<scripted::MessageRecord> shown = scripted::shownMessages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, "Oxlo");
        EXPECT_EQ(shown[0].text, "Oxlo could not open its main window.");
        EXPECT_EQ(shown[0].flags, 0x30);
        std::vector<std::string> calls = standIns().calls;
        if (!calls.empty() && calls.back().starts_with("runCreate")) {
            calls.back() = "runCreate"; // its paths are checked elsewhere
        }
        EXPECT_EQ(calls, c.calls) << "nothing may be scanned into a missing window";
        expectShutDown();
        for (const scripted::WindowRecord& window : scripted::openedWindows()) {
            EXPECT_NE(window.number, 3) << "no farewell without a main window";
        }
    }
}

} // namespace
} // namespace oxlo::app_test
