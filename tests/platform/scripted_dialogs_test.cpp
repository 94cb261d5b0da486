#include "platform/portable/scripted_ui.h"
#include "platform/script_error_expectation.h"
#include "platform/services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace oxlo::platform {
namespace {

using namespace scripted;
using ::testing::HasSubstr;

TEST(ScriptedDialogs, MessagesAnswerInOrderAndAreRecorded)
{
    answerNextMessage(kAnswerYes);
    answerNextMessage(kAnswerOk);
    EXPECT_EQ(showMessage("Uninstall Mapset", "Continue?", kMessageWarningYesNo), kAnswerYes);
    EXPECT_EQ(showMessage("Create Mapset", "Mapset Created.", kMessageInfo), kAnswerOk);
    const std::vector<MessageRecord> shown = shownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "Uninstall Mapset");
    EXPECT_EQ(shown[0].flags, kMessageWarningYesNo);
    EXPECT_EQ(shown[0].answer, kAnswerYes);
    EXPECT_EQ(shown[1].text, "Mapset Created.");
}

TEST(ScriptedDialogs, AMessageWithoutAFittingAnswerFails)
{
    expectScriptError([] { showMessage("Edit Mapset", "Please select a mapset to edit.", 0x30); },
                      "\"Edit Mapset\" \"Please select a mapset to edit.\"");
    answerNextMessage(kAnswerYes);
    expectScriptError([] { showMessage("Create Mapset", "Please name the mapset.", 0x30); },
                      "answer 6 is not a button");
    answerNextMessage(kAnswerOk);
    expectScriptError([] { showMessage("Save", "Update?", kMessageInfoYesNo); },
                      "answer 1 is not a button");
}

TEST(ScriptedDialogs, MultipleFileChoiceWalksThroughTheSelectionOnce)
{
    chooseNextFiles({"C:\\Maps\\a.img", "C:\\Maps\\b.img", "C:\\Maps\\c.img"});
    EXPECT_EQ(chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1),
              "C:\\Maps\\a.img");
    EXPECT_EQ(nextSelectedFile(), "C:\\Maps\\b.img");
    EXPECT_EQ(nextSelectedFile(), "C:\\Maps\\c.img");
    EXPECT_EQ(nextSelectedFile(), "");
    EXPECT_EQ(nextSelectedFile(), "");

    chooseNextFiles({"C:\\Maps\\one.img"});
    EXPECT_EQ(chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1),
              "C:\\Maps\\one.img");
    EXPECT_EQ(nextSelectedFile(), "") << "one chosen file leaves nothing further";

    chooseNextFiles({"C:\\Maps\\x.img", "C:\\Maps\\y.img"});
    chooseNextFiles({});
    chooseOpenFile("Select Maps", "", "", 0, 1);
    EXPECT_EQ(chooseOpenFile("Select Maps", "", "", 0, 1), "") << "Cancel";
    EXPECT_EQ(nextSelectedFile(), "") << "Cancel ends the earlier selection";

    const std::vector<ChooserRecord> shown = shownChoosers();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].pattern, "Garmin Maps (*.img)|*.IMG");
    EXPECT_EQ(shown[0].multiple, 1);
}

TEST(ScriptedDialogs, ChoosersWithoutAFittingChoiceFail)
{
    expectScriptError([] { chooseOpenFile("Select TYP File", "", "TYP File (*.typ)|*.TYP", 0, 0); },
                      "\"Select TYP File\"");
    chooseNextFiles({"C:\\a.typ", "C:\\b.typ"});
    expectScriptError([] { chooseOpenFile("Select TYP File", "", "", 0, 0); },
                      "2 files queued for the single-choice dialog");
    expectScriptError([] { choosePath("Please choose your path", "C:\\Garmin"); },
                      "\"Please choose your path\"");
}

TEST(ScriptedDialogs, ChosenFoldersEndInABackslash)
{
    chooseNextFolder("D:\\Maps");
    chooseNextFolder("C:\\");
    chooseNextFolder("");
    EXPECT_EQ(choosePath("Please choose your path", "C:\\Garmin"), "D:\\Maps\\");
    EXPECT_EQ(choosePath("Please choose your path", "C:\\Garmin"), "C:\\");
    EXPECT_EQ(choosePath("Please choose your path", "C:\\Garmin"), "") << "Cancel";
    ASSERT_EQ(shownChoosers().size(), 3u);
    EXPECT_TRUE(shownChoosers()[0].folder);
    EXPECT_EQ(shownChoosers()[0].defaultFile, "C:\\Garmin");
}

} // namespace
} // namespace oxlo::platform
