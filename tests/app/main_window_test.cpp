// The main window's layout and the main loop's dispatch, driven through the scripted layer.
#include "app/shell_test.h"

#include "app/application.h"
#include "app/main_window.h"
#include "resources/shared_resources.h"
#include "platform/services.h"

#include <string>
#include <vector>

namespace oxlo::app_test {
namespace {

namespace scripted = platform::scripted;
using platform::ControlKind;

constexpr int kRefresh = 2, kNew = 3, kEdit = 4, kUninstall = 5, kQuit = 6;

void expectEditEnabled(bool enabled, const char* when)
{
    SCOPED_TRACE(when);
    const scripted::ControlRecord* edit = scripted::findControl(kEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->window, 0);
    EXPECT_EQ(edit->text, "&Edit");
    EXPECT_EQ(edit->enabled, enabled);
}

TEST_F(ShellTest, MainWindowHasItsFrameControlsFontsAndToolTips)
{
    resources::buttonFont = platform::loadFont("MS Sans Serif", 8, true);
    ASSERT_TRUE(app::buildMainWindow());

    const scripted::WindowRecord* window = scripted::findWindow(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title, "Oxlo by Oxlo contributors");
    EXPECT_EQ(window->width, 460);
    EXPECT_EQ(window->height, 244);
    EXPECT_EQ(window->flags, platform::kWindowTitleBar | platform::kWindowSystemMenu |
                                 platform::kWindowMinimizeBox | platform::kWindowCentreScreen);

    struct Expected {
        int number;
        ControlKind kind;
        int x, y, width, height;
        std::string text;
        platform::FontHandle font;
        std::string toolTip;
    };
    const platform::FontHandle button = resources::buttonFont;
    const Expected expected[] = {
        {1, ControlKind::Label, 15, 15, 280, 20, "Installed Mapsets:", button, ""},
        {0, ControlKind::ReportList, 15, 35, 330, 190, "", 0, ""},
        {2, ControlKind::Button, 360, 35, 85, 30, "&Refresh", button, "Update mapset list"},
        {3, ControlKind::Button, 360, 75, 85, 30, "&New", button, "Create new mapset"},
        {4, ControlKind::Button, 360, 115, 85, 30, "&Edit", button, "Edit mapset information"},
        {5, ControlKind::Button, 360, 155, 85, 30, "&Uninstall", button, "Uninstall Mapset"},
        {6, ControlKind::Button, 360, 195, 85, 30, "&Quit", button, "Quit Oxlo"},
    };
    const std::vector<scripted::ControlRecord> live = scripted::liveControls();
    ASSERT_EQ(live.size(), std::size(expected));
    for (std::size_t i = 0; i < live.size(); ++i) {
        const Expected& want = expected[i];
        const scripted::ControlRecord& got = live[i];
        SCOPED_TRACE("creation position " + std::to_string(i) + ", control " +
                     std::to_string(want.number));
        EXPECT_EQ(got.number, want.number);
        EXPECT_EQ(got.window, 0);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.font, want.font);
        EXPECT_EQ(got.toolTip, want.toolTip);
        EXPECT_EQ(got.enabled, want.number != kEdit) << "Edit waits for a selection";
        EXPECT_TRUE(got.visible);
    }

    const scripted::ControlRecord* list = scripted::findControl(0);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->columns.size(), 2u);
    EXPECT_EQ(list->columns[0].title, "FID/CODE");
    EXPECT_EQ(list->columns[0].width, 75);
    EXPECT_EQ(list->columns[1].title, "Name");
    EXPECT_EQ(list->columns[1].width, 250);
    EXPECT_TRUE(list->rows.empty()) << "the scan fills the list, not the build";
}

TEST_F(ShellTest, EditIsEnabledExactlyWhileARowIsSelected)
{
    standIns().registryRows = {familyRow("Alps", 6001), familyRow("Topo", 6002)};
    scripted::queueAction([] { expectEditEnabled(false, "main window just built"); });
    scripted::queueOtherEvent();
    scripted::queueAction([] { expectEditEnabled(false, "a paint or mouse move, no selection"); });
    scripted::queueSelectRow(0, 1);
    scripted::queueAction([] { expectEditEnabled(true, "a row selected"); });
    scripted::queueOtherEvent();
    scripted::queueControlEvent(0);
    scripted::queueAction([] { expectEditEnabled(true, "other events keep the selection"); });
    scripted::queueSelectRow(0, -1);
    scripted::queueAction([] { expectEditEnabled(false, "selection gone"); });
    scripted::queueSelectRow(0, 0);
    scripted::queueControlEvent(kRefresh);
    scripted::queueAction([] { expectEditEnabled(false, "the rescan empties the selection"); });
    scripted::queueSelectRow(0, 0);
    scripted::queueControlEvent(kNew);
    scripted::queueClose(); // the Create Mapset window
    scripted::queueAction([] { expectEditEnabled(false, "main window rebuilt after New"); });
    queueQuitAndGoodBye();
    EXPECT_EQ(runScript(), 0);
}

TEST_F(ShellTest, WithoutSelectionUninstallOnlyWarnsAndEditCannotBePressed)
{
    standIns().registryRows = {familyRow("Alps", 6001), familyRow("Topo", 6002)};
    scripted::queueControlEvent(kUninstall);
    scripted::answerNextMessage(platform::kAnswerOk);
    scripted::queueAction([] { expectEditEnabled(false, "after Uninstall without a selection"); });
    queueQuitAndGoodBye();

    EXPECT_EQ(runScript(), 0);
    const std::vector<scripted::MessageRecord> shown = scripted::shownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Uninstall Mapset");
    EXPECT_EQ(shown[0].text, "Please select a mapset to uninstall.");
    EXPECT_EQ(shown[0].flags, 0x30);
    EXPECT_EQ(standIns().calls, std::vector<std::string>{"scan"}) << "no task may start";
}

TEST_F(ShellTest, UninstallAsksFirstOnlyWhenOneMapsetIsLeft)
{
    const std::string lastMapsetWarning =
        "There is only one mapset left. If you uninstall the final mapset, Mapsource will be "
        "unable to load until a new mapset has been installed. Do you wish to continue?";
    struct Case {
        const char* name;
        int rows;
        int selectRow; // 0-based list row
        int answer;    // 0: no question expected
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"one mapset, Yes", 1, 0, platform::kAnswerYes, {"scan", "uninstall 1"}},
        {"one mapset, No", 1, 0, platform::kAnswerNo, {"scan"}},
        {"two mapsets", 2, 1, 0, {"scan", "uninstall 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int i = 0; i < c.rows; ++i) {
            standIns().registryRows.push_back(familyRow("Map" + std::to_string(i), 6001 + i));
        }
        scripted::queueSelectRow(0, c.selectRow);
        scripted::queueControlEvent(kUninstall);
        if (c.answer != 0) {
            scripted::answerNextMessage(c.answer);
        }
        queueQuitAndGoodBye();

        EXPECT_EQ(runScript(), 0);
        const std::vector<scripted::MessageRecord> shown = scripted::shownMessages();
        if (c.answer == 0) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].title, "Uninstall Mapset");
            EXPECT_EQ(shown[0].text, lastMapsetWarning);
            EXPECT_EQ(shown[0].flags, 0x34);
        }
        // The uninstall rescans by itself; the loop adds no scan of its own.
        EXPECT_EQ(standIns().calls, c.calls);
    }
}

TEST_F(ShellTest, NewRunsTheCreateTaskThenRebuildsAndRescans)
{
    standIns().duringTask = [] {
        standIns().registryRows.push_back(familyRow("Fresh", 6001));
        const scripted::WindowRecord* main = scripted::findWindow(0);
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(main->hidden) << "the main window stands there without its controls";
    };
    scripted::queueControlEvent(kNew);
    scripted::queueClose(); // the Create Mapset window
    scripted::queueAction([] {
        ASSERT_NE(scripted::findWindow(0), nullptr);
        EXPECT_FALSE(scripted::findWindow(0)->hidden) << "the rebuilt main window is shown";
        const scripted::ControlRecord* list = scripted::findControl(0);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->window, 0);
        EXPECT_EQ(list->rows, std::vector<std::string>{"FID6001\nFresh"})
            << "the list must show the registry as the task left it";
        for (int number = 1; number <= 6; ++number) {
            SCOPED_TRACE("control " + std::to_string(number));
            const scripted::ControlRecord* control = scripted::findControl(number);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->window, 0);
        }
    });
    queueQuitAndGoodBye();

    EXPECT_EQ(runScript(), 0);
    const std::vector<std::string> expected = {
        "scan", "openCreate", "creationMode 1", "panelHidden 1",
        "runCreate " + resources::compilerPath + "|" + resources::previewPath + "|" + resources::mkgmapPath, "scan"};
    EXPECT_EQ(standIns().calls, expected);
    EXPECT_FALSE(standIns().panelShownAtFirstScan) << "start-up clears attributePanelShown";
}

TEST_F(ShellTest, EditHandsTheSelectedRowToTheEditWindowThenRebuilds)
{
    standIns().registryRows = {familyRow("Alps", 6001), familyRow("Topo", -6002)};
    standIns().duringTask = [] {
        standIns().registryRows[1].name = "Topo2";
        ASSERT_NE(scripted::findWindow(0), nullptr);
        EXPECT_TRUE(scripted::findWindow(0)->hidden) << "the main window waits off the screen";
    };
    scripted::queueSelectRow(0, 1);
    scripted::queueAction([] { expectEditEnabled(true, "a row selected"); });
    scripted::queueControlEvent(kEdit);
    scripted::queueClose(); // the Edit Mapset window, after the events of its own fields
    scripted::queueAction([] {
        const scripted::ControlRecord* list = scripted::findControl(0);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->window, 0);
        EXPECT_EQ(list->selected, -1);
        EXPECT_EQ(list->rows, (std::vector<std::string>{"FID6001\nAlps", "FID-6002\nTopo2"}));
    });
    queueQuitAndGoodBye();

    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(standIns().calls,
              (std::vector<std::string>{"scan", "openEdit", "runEdit 2", "scan"}));
    EXPECT_EQ(standIns().editNameField, "Topo");
    EXPECT_EQ(standIns().editIdField, "-6002");
}

TEST_F(ShellTest, RefreshRescansAndListEventsDoNothingElse)
{
    scripted::queueControlEvent(0); // the list: nothing but the selection update
    scripted::queueSelectRow(0, -1);
    scripted::queueAction([] { standIns().registryRows = {familyRow("Alps", 6001)}; });
    scripted::queueControlEvent(kRefresh);
    scripted::queueAction([] {
        const scripted::ControlRecord* label = scripted::findControl(1);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, "1 Installed Mapsets");
    });
    queueQuitAndGoodBye();

    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(standIns().calls, (std::vector<std::string>{"scan", "scan"}));
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(ShellTest, TheListsContextMenuAndMenuCommandsActOnTheSelectedRow)
{
    standIns().registryRows = {familyRow("Alps", 6001), familyRow("Topo", 6002)};
    scripted::queueSelectRow(0, 1);
    scripted::queueContextMenu(0);           // the menu, and its first item chosen
    scripted::chooseNextMenuCommand(40001);
    scripted::queueContextMenu(0);           // the menu dismissed
    scripted::chooseNextMenuCommand(0);
    scripted::queueCommand(40006);           // a command sent to the window without the menu
    scripted::queueCommand(40009);           // Move Mapset, its progress in the title
    scripted::queueSelectRow(0, -1);
    scripted::queueCommand(40003);
    scripted::queueContextMenu(kRefresh);    // another control's menu: none
    scripted::queueDrop(0, {"C:\\Maps\\Hills", "C:\\x.TDB"}); // the main window takes drops
    queueQuitAndGoodBye();

    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(standIns().calls,
              (std::vector<std::string>{"scan", "menu 2", "command 40001 2", "menu 2",
                                        "command 40006 2", "move 2", "command 40003 0",
                                        "install C:\\Maps\\Hills C:\\x.TDB"}));
    const auto menus = scripted::shownMenus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].control, 0);
    EXPECT_EQ(menus[0].choice, 40001);
    EXPECT_TRUE(scripted::shownMessages().empty());
    const std::vector<std::string> titles = scripted::titlesSet(0);
    ASSERT_GE(titles.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(titles.end() - 3, titles.end()),
              (std::vector<std::string>{"Moving Alps: 1 of 2 files", "Moving Alps: 2 of 2 files",
                                        "Oxlo by Oxlo contributors"}));
}

} // namespace
} // namespace oxlo::app_test
