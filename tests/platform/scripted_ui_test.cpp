// The numbering rules and the strictness of the scripted window layer that the logic's tests
// stand on.
#include "platform/portable/scripted_ui.h"
#include "platform/script_error_expectation.h"
#include "platform/services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace oxlo::platform {
namespace {

using namespace scripted;
using ::testing::HasSubstr;


std::vector<int> liveNumbers()
{
    std::vector<int> numbers;
    for (const ControlRecord& control : liveControls())
        numbers.push_back(control.number);
    return numbers;
}

TEST(ScriptedWindows, ReopeningANumberClosesTheEarlierWindowAndItsControls)
{
    ASSERT_NE(openWindow(0, 1, 2, 460, 244, "Main", kWindowTitleBar), 0);
    ASSERT_NE(createControl(6, ControlKind::Button, 360, 195, 85, 30, "&Quit"), 0);
    ASSERT_NE(openWindow(0, 0, 0, 100, 50, "Main again", 0), 0);
    EXPECT_EQ(findControl(6), nullptr);
    ASSERT_NE(findWindow(0), nullptr);
    EXPECT_EQ(findWindow(0)->title, "Main again");
    EXPECT_EQ(openedWindows().size(), 2u);
}

TEST(ScriptedWindows, ReusingAControlNumberDestroysItInAnyWindow)
{
    openWindow(0, 0, 0, 460, 244, "Main", 0);
    createControl(0, ControlKind::ReportList, 15, 35, 330, 190, "");
    createControl(4, ControlKind::Button, 360, 115, 85, 30, "&Edit");
    createControl(9, ControlKind::Button, 0, 0, 1, 1, "kept");
    openWindow(3, 0, 0, 356, 177, "About Oxlo", kWindowTitleBar);
    createControl(4, ControlKind::Button, 125, 125, 100, 35, "GoodBye");
    createControl(0, ControlKind::Label, 45, 10, 330, 30, "Oxlo v1.04", kControlCentred);
    EXPECT_EQ(liveNumbers(), (std::vector<int>{9, 4, 0})) << "in creation order";
    EXPECT_EQ(findControl(4)->window, 3);
    EXPECT_EQ(findControl(4)->text, "GoodBye");
    EXPECT_EQ(findControl(9)->window, 0);
    EXPECT_NE(findWindow(0), nullptr) << "the main window stays open without those controls";
    closeWindow(3);
    EXPECT_EQ(liveNumbers(), std::vector<int>{9});
}

TEST(ScriptedWindows, ControlsGoToTheWindowOpenedLast)
{
    EXPECT_EQ(createControl(1, ControlKind::Label, 0, 0, 1, 1, "none"), 0) << "no window open";
    openWindow(1, 0, 0, 10, 10, "Create", 0);
    openWindow(0, 0, 0, 10, 10, "Main", 0);
    createControl(1, ControlKind::Label, 0, 0, 1, 1, "x");
    EXPECT_EQ(findControl(1)->window, 0);
    closeWindow(0);
    createControl(2, ControlKind::Label, 0, 0, 1, 1, "y");
    EXPECT_EQ(findControl(2)->window, 1) << "the last opened window still open";
    closeAllWindows();
    EXPECT_TRUE(liveControls().empty());
    EXPECT_EQ(findWindow(1), nullptr);
}

TEST(ScriptedWindows, ARefusedWindowGivesZeroAndNoControls)
{
    openWindow(2, 0, 0, 10, 10, "Edit", 0);
    refuseWindow(2, true);
    EXPECT_EQ(openWindow(2, 0, 0, 10, 10, "Edit", 0), 0);
    EXPECT_EQ(findWindow(2), nullptr);
    EXPECT_EQ(createControl(1, ControlKind::Field, 0, 0, 1, 1, ""), 0);
    refuseWindow(2, false);
    EXPECT_NE(openWindow(2, 0, 0, 10, 10, "Edit", 0), 0);
}

class ScriptedEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        openWindow(1, 0, 0, 500, 400, "Create Mapset", 0);
        createControl(0, ControlKind::ListBox, 0, 0, 10, 10, "");
        createControl(3, ControlKind::Label, 0, 0, 10, 10, "Mapset Name");
        createControl(4, ControlKind::Field, 0, 0, 10, 10, "");
        createControl(15, ControlKind::Button, 0, 0, 10, 10, "Create Mapset");
        createControl(16, ControlKind::Toggle, 0, 0, 10, 10, "Auto");
        createControl(25, ControlKind::CheckBox, 0, 0, 10, 10, "");
        createControl(30, ControlKind::ReportList, 0, 0, 10, 10, "");
    }
};

TEST_F(ScriptedEvents, StepsChangeTheControlThenDeliverItsEvent)
{
    addListItem(0, -1, "C:\\Maps\\a.img");
    addListItem(0, -1, "C:\\Maps\\b.img");
    queueSelectRow(0, 1);
    queueTyping(4, "Alps");
    queueClick(25, 1);
    queueOtherEvent();
    queueClose();
    EXPECT_EQ(waitWindowEvent(), EventKind::Control);
    EXPECT_EQ(eventControl(), 0);
    EXPECT_EQ(getControlState(0), 1);
    EXPECT_EQ(getControlText(0), "C:\\Maps\\b.img");
    EXPECT_EQ(waitWindowEvent(), EventKind::Control);
    EXPECT_EQ(eventControl(), 4);
    EXPECT_EQ(getControlText(4), "Alps");
    EXPECT_EQ(waitWindowEvent(), EventKind::Control);
    EXPECT_EQ(getControlState(25), 1);
    EXPECT_EQ(waitWindowEvent(), EventKind::Other);
    EXPECT_EQ(eventControl(), 25) << "an event of another kind leaves the last control";
    EXPECT_EQ(waitWindowEvent(), EventKind::Close);
    EXPECT_EQ(pendingSteps(), 0);
    expectScriptError([] { waitWindowEvent(); }, "no step queued");
}

TEST_F(ScriptedEvents, StepsAtControlsAUserCannotUseFail)
{
    hideControl(16, 1);
    disableControl(15, 1);
    queueControlEvent(15);
    queueClick(16, 1);
    queueControlEvent(99);
    queueControlEvent(3);
    queueSelectRow(0, 0);
    queueTyping(15, "text");
    expectScriptError([] { waitWindowEvent(); }, "control 15 (button \"Create Mapset\"");
    expectScriptError([] { waitWindowEvent(); }, "control 16 (toggle \"Auto\" in window 1) is hidden");
    expectScriptError([] { waitWindowEvent(); }, "control 99 does not exist");
    expectScriptError([] { waitWindowEvent(); }, "control 3 (label \"Mapset Name\" in window 1) never fires");
    expectScriptError([] { waitWindowEvent(); }, "row 0 is not in control 0");
    disableControl(15, 0);
    expectScriptError([] { waitWindowEvent(); }, "control 15 (button \"Create Mapset\" in window 1) is not");
    EXPECT_EQ(getControlText(15), "Create Mapset") << "a refused step changes nothing";
}

TEST_F(ScriptedEvents, ProgramChangesOfAFieldRaiseNoEvent)
{
    queueControlEvent(15);
    setControlText(4, "Alps");
    EXPECT_EQ(waitWindowEvent(), EventKind::Control);
    EXPECT_EQ(eventControl(), 15) << "only the user's step fires, as in the Win32 layer";
    EXPECT_EQ(getControlText(4), "Alps");
}

TEST_F(ScriptedEvents, ActionsRunWithoutAnEvent)
{
    int seen = -1;
    queueAction([&] { seen = countListItems(0); });
    queueClose();
    addListItem(0, -1, "one");
    EXPECT_EQ(waitWindowEvent(), EventKind::Close);
    EXPECT_EQ(seen, 1);
}

TEST_F(ScriptedEvents, ListRowsKeepTheirSelection)
{
    EXPECT_EQ(getControlState(30), -1);
    EXPECT_EQ(getControlText(30), "");
    addListColumn(30, 0, "FID/CODE", 75);
    addListColumn(30, 1, "Name", 250);
    addListItem(30, -1, "FID6001\nAlps");
    addListItem(30, -1, "FID6002\nDolomites");
    queueSelectRow(30, 1);
    waitWindowEvent();
    addListItem(30, 0, "PID7\nFirst");
    EXPECT_EQ(getControlState(30), 2) << "the selection follows its row";
    EXPECT_EQ(getControlText(30), "FID6002");
    removeListItem(30, 0);
    EXPECT_EQ(getControlState(30), 1);
    removeListItem(30, 1);
    EXPECT_EQ(getControlState(30), -1) << "the selected row is gone";
    EXPECT_EQ(countListItems(30), 1);
    clearListItems(30);
    EXPECT_EQ(countListItems(30), 0);
    ASSERT_EQ(findControl(30)->columns.size(), 2u);
    EXPECT_EQ(findControl(30)->columns[1].title, "Name");
}

TEST_F(ScriptedEvents, DropDownEntriesSelectionAndEvents)
{
    createControl(28, ControlKind::DropDown, 0, 0, 10, 10, "");
    EXPECT_EQ(getControlState(28), -1) << "a new drop-down has no entry selected";
    EXPECT_EQ(getControlText(28), "");
    addListItem(28, -1, "cgpsmapper");
    addListItem(28, -1, "mkgmap");
    ASSERT_EQ(countListItems(28), 2);
    EXPECT_EQ(findControl(28)->rows, (std::vector<std::string>{"cgpsmapper", "mkgmap"}));

    // The program's choice, as CB_SETCURSEL: no event; a row that is not there selects none.
    const struct {
        int state;
        int selected;
        const char* text;
    } choices[] = {{1, 1, "mkgmap"}, {0, 0, "cgpsmapper"}, {2, -1, ""}, {-1, -1, ""}};
    for (const auto& choice : choices) {
        SCOPED_TRACE("setControlState " + std::to_string(choice.state));
        setControlState(28, choice.state);
        EXPECT_EQ(getControlState(28), choice.selected);
        EXPECT_EQ(getControlText(28), choice.text);
    }
    setControlText(28, "typed"); // a drop-down takes no typing
    EXPECT_EQ(findControl(28)->rows, (std::vector<std::string>{"cgpsmapper", "mkgmap"}));

    // The user's choice delivers the drop-down's event; leaving it without an entry cannot be
    // scripted, as no user can do it.
    setControlState(28, 0);
    queueSelectRow(28, 1);
    queueSelectRow(28, -1);
    queueSelectRow(28, 2);
    EXPECT_EQ(waitWindowEvent(), EventKind::Control);
    EXPECT_EQ(eventControl(), 28);
    EXPECT_EQ(getControlText(28), "mkgmap");
    expectScriptError([] { waitWindowEvent(); }, "row -1 is not in control 28 (drop-down");
    expectScriptError([] { waitWindowEvent(); }, "row 2 is not in control 28");
    EXPECT_EQ(getControlState(28), 1) << "a refused step changes nothing";

    removeListItem(28, 1);
    EXPECT_EQ(getControlState(28), -1) << "the selected entry is gone";
    clearListItems(28);
    EXPECT_EQ(countListItems(28), 0);
}

TEST_F(ScriptedEvents, StatesAndTheMissingControl)
{
    setControlState(16, 1);
    EXPECT_EQ(getControlState(16), 1);
    setControlState(16, 0);
    EXPECT_EQ(getControlState(16), 0);
    EXPECT_EQ(getControlState(77), -1);
    EXPECT_EQ(getControlText(77), "");
    setControlText(77, "nowhere"); // does nothing, as on a missing window
    EXPECT_EQ(findControl(77), nullptr);
}

TEST(ScriptedResources, FontsAndIcons)
{
    const FontHandle font = loadFont("MS Sans Serif", 10, true);
    ASSERT_NE(font, 0);
    ASSERT_NE(findFont(font), nullptr);
    EXPECT_EQ(findFont(font)->face, "MS Sans Serif");
    const std::uint8_t icon[] = {0, 0, 1, 0, 1, 0};
    const std::uint8_t cursor[] = {0, 0, 2, 0, 1, 0};
    EXPECT_NE(loadIconImage(icon, sizeof icon), 0);
    EXPECT_EQ(loadIconImage(cursor, sizeof cursor), 0) << "not an icon";
    EXPECT_EQ(loadIconImage(icon, 3), 0) << "too short";
    EXPECT_EQ(liveImageCount(), 1);
    releaseImages();
    releaseFonts();
    EXPECT_EQ(liveImageCount(), 0);
    EXPECT_EQ(liveFontCount(), 0);
}

TEST(ScriptedResources, ResetForgetsEverything)
{
    openWindow(0, 0, 0, 1, 1, "Main", 0);
    createControl(1, ControlKind::Label, 0, 0, 1, 1, "x");
    queueClose();
    answerNextMessage(kAnswerOk);
    resetScript();
    EXPECT_EQ(findWindow(0), nullptr);
    EXPECT_TRUE(liveControls().empty());
    EXPECT_TRUE(openedWindows().empty());
    EXPECT_EQ(pendingSteps(), 0);
    expectScriptError([] { showMessage("T", "x", kMessagePlain); }, "no answer queued");
}

} // namespace
} // namespace oxlo::platform
