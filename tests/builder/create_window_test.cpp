// The Create Mapset window through the scripted window layer: layout, modes, the map list and
// its naming rule, the folder and TYP fields.
#include "builder_test_support.h"

#include "resources/shared_resources.h"
#include "builder/create_mapset_window.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <set>

namespace oxlo::testing {
namespace {

using namespace builder;
namespace scripted = platform::scripted;

const char* const kNamingMessage =
    " does not conform to the '99999999.IMG' naming convention. Creating a mapset with this map "
    "will cause uncertain effect for Mapsource. Map will be exluded.";
const char* const kMapSourceMessage =
    "Mapsource does not recognize '00000001.IMG' and '00000008.IMG'. Creating a mapset with this "
    "map will cause Mapsource to crash. Please use another map name.";

std::vector<std::string> rowsOfMapList() {
    const scripted::ControlRecord* list = scripted::findControl(kMapList);
    return list ? list->rows : std::vector<std::string>{"<no map list>"};
}

std::string textOf(int control) {
    const scripted::ControlRecord* record = scripted::findControl(control);
    return record ? record->text : "<no control " + std::to_string(control) + ">";
}

std::set<int> visibleControls() {
    std::set<int> visible;
    for (const auto& control : scripted::liveControls())
        if (control.visible) visible.insert(control.number);
    return visible;
}

// Runs the window over what the test queued, then a close request.
void runWindow() {
    scripted::queueClose();
    runCreateMapsetWindow("C:\\Tools\\cgpsmapper.exe", "C:\\Tools\\cpreview.exe");
    EXPECT_EQ(scripted::pendingSteps(), 0) << "the loop left scripted steps unread";
}

void addMaps(const std::vector<std::string>& paths) {
    scripted::chooseNextFiles(paths);
    scripted::queueControlEvent(kSelectMapsButton);
}

class CreateWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setCatalogue({});
        openWindowAsNewDoes();
    }
};

TEST(CreateWindowLayout, WindowAndControlsAsTheUserSeesThem) {
    resources::labelFont = platform::loadFont("MS Sans Serif", 10, true);
    platform::openWindow(0, 0, 0, 700, 400, "Oxlo", platform::kWindowTitleBar);
    openWindowAsNewDoes();

    const scripted::WindowRecord* window = scripted::findWindow(kCreateWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title, "Create Mapset");
    EXPECT_EQ(window->width, 503);
    EXPECT_EQ(window->height, 432);
    EXPECT_TRUE(window->flags & platform::kWindowTitleBar);
    EXPECT_TRUE(window->flags & platform::kWindowSystemMenu);
    EXPECT_TRUE(window->flags & platform::kWindowCentreActive);
    EXPECT_FALSE(window->flags & platform::kWindowMinimizeBox);

    struct Expected {
        platform::ControlKind kind;
        const char* caption;
        int x, y, w, h;
        const char* tip;
    };
    using K = platform::ControlKind;
    const Expected expected[] = {
        {K::ListBox, "", 25, 110, 355, 135, ""},
        {K::Button, "Select Maps", 390, 110, 80, 30,
         "Add maps to list. Hold Ctrl key while clicking for multiple selection"},
        {K::Button, "Delete Map", 390, 145, 80, 30, "Remove the selected map from list"},
        {K::Label, "Mapset Name", 25, 255, 120, 20, ""},
        {K::Field, "", 160, 255, 310, 20, ""},
        {K::Label, "Mapset Folder", 25, 280, 120, 20, ""},
        {K::Field, "", 160, 280, 285, 20, ""},
        {K::Button, "...", 445, 280, 25, 20, ""},
        {K::Label, "Family ID", 25, 305, 120, 20, ""},
        {K::Field, "", 160, 305, 40, 20, "6000 - 7000"},
        {K::Label, "TYP File (optional)", 25, 330, 135, 20, ""},
        {K::Button, "...", 445, 330, 25, 20, ""},
        {K::Frame, "Mapset Information ", 15, 90, 470, 275, ""},
        {K::Button, "Cancel", 280, 380, 130, 40, ""},
        {K::Frame, "Mode ", 15, 5, 200, 75, ""},
        {K::Toggle, "Auto", 25, 25, 80, 40, "Simple mapset creation mode for beginners"},
        {K::Toggle, "Custom", 120, 25, 80, 40, "Custom mapset creation mode for advanced users"},
        {K::Button, "Clear List", 390, 180, 80, 30, "Clear entire list"},
        {K::Field, "", 160, 330, 285, 20, ""},
        {K::Button, "Create Mapset", 90, 380, 130, 40, ""},
        {K::Button, "Map Attribute", 390, 215, 80, 30, "Toggle map attribute display"},
        {K::Frame, "Map Attribute ", 280, 5, 205, 75, ""},
        {K::Label, "Draw Priority", 290, 25, 60, 20, ""},
        {K::Label, "Transparent", 390, 25, 60, 20, ""},
        {K::Field, "", 355, 25, 25, 20,
         "1 - 31. Map with higher priority covers those with lower priority"},
        {K::CheckBox, "", 455, 25, 20, 20, "Check to make map transparent"},
        {K::Button, "Save", 390, 50, 80, 25, "Save map attribute"},
        {K::Label, "Compiler", 220, 305, 80, 20, ""},
        {K::DropDown, "", 310, 305, 160, 20,
         "Program that builds the mapset's index and overview map"},
    };
    const std::set<int> withLabelFont = {3, 5, 7, 8, 10, 11, kCompilerLabel};
    const std::set<int> digitsOnly = {9, 24};

    const std::vector<scripted::ControlRecord> controls = scripted::liveControls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const scripted::ControlRecord& control = controls[i];
        const Expected& want = expected[i];
        EXPECT_EQ(control.number, i) << "created out of order";
        EXPECT_EQ(control.window, kCreateWindow);
        EXPECT_EQ(control.kind, want.kind);
        EXPECT_EQ(control.text, want.caption);
        EXPECT_EQ(control.x, want.x);
        EXPECT_EQ(control.y, want.y);
        EXPECT_EQ(control.width, want.w);
        EXPECT_EQ(control.height, want.h);
        EXPECT_EQ(control.toolTip, want.tip);
        EXPECT_EQ(control.font, withLabelFont.count(i) ? resources::labelFont : 0);
        EXPECT_EQ((control.options & platform::kControlDigitsOnly) != 0, digitsOnly.count(i) == 1);
        EXPECT_EQ((control.options & platform::kControlCentred) != 0, i == kPriorityLabel);
    }
    // The main window lost its controls to the task window's numbers.
    EXPECT_NE(scripted::findWindow(0), nullptr);

    // What the user sees after New: Auto down, no Custom-only control, no attribute panel.
    EXPECT_EQ(visibleControls(),
              (std::set<int>{0, 1, 2, 3, 4, 12, 13, 14, 15, 16, 17, 19, 27, 28}));
    EXPECT_EQ(scripted::findControl(kCompilerList)->rows,
              (std::vector<std::string>{"cgpsmapper", "mkgmap"}));
    EXPECT_EQ(scripted::findControl(kAutoToggle)->state, 1);
    EXPECT_EQ(scripted::findControl(kCustomToggle)->state, 0);
    EXPECT_FALSE(attributePanelShown);
}

TEST(CreateWindowLayout, NoWindowMeansNoControlsAndNoLoop) {
    scripted::refuseWindow(kCreateWindow, true);
    openCreateMapsetWindow();
    EXPECT_TRUE(scripted::liveControls().empty());
    // Nothing is queued: a loop that waited would throw.
    EXPECT_NO_THROW(runCreateMapsetWindow("a", "b"));
}

TEST_F(CreateWindowTest, ModesShowAndHideTheCustomControlsAndThePanel) {
    const std::set<int> autoView = {0, 1, 2, 3, 4, 12, 13, 14, 15, 16, 17, 19, 27, 28};
    std::set<int> customView = autoView;
    customView.insert({5, 6, 7, 8, 9, 10, 11, 18, 20});
    std::set<int> customWithPanel = customView;
    customWithPanel.insert({21, 22, 23, 24, 25, 26});
    std::set<int> afterCustom, withPanel, afterAutoAgain, afterCustomAgain;
    int autoState = -1, customState = -1;

    addMaps({"C:\\Maps\\12345678.IMG"});
    scripted::queueClick(kCustomToggle, 1);
    scripted::queueAction([&] {
        afterCustom = visibleControls();
        autoState = scripted::findControl(kAutoToggle)->state;
        customState = scripted::findControl(kCustomToggle)->state;
    });
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kMapAttributeButton);
    scripted::queueAction([&] { withPanel = visibleControls(); });
    scripted::queueClick(kAutoToggle, 1);
    scripted::queueAction([&] { afterAutoAgain = visibleControls(); });
    scripted::queueClick(kCustomToggle, 1);
    scripted::queueAction([&] { afterCustomAgain = visibleControls(); });
    runWindow();

    EXPECT_EQ(afterCustom, customView);
    EXPECT_EQ(autoState, 0);
    EXPECT_EQ(customState, 1);
    EXPECT_EQ(withPanel, customWithPanel);
    EXPECT_EQ(afterAutoAgain, autoView) << "Auto hides the Custom controls and the panel";
    EXPECT_EQ(afterCustomAgain, customView) << "Custom leaves the hidden panel hidden";
    EXPECT_EQ(scripted::findWindow(kCreateWindow), nullptr) << "the close request closes window 1";
}

TEST_F(CreateWindowTest, NamingRuleDecidesWhichMapsJoinTheList) {
    struct Case {
        const char* fileName;
        std::string refusal; // empty: accepted
    };
    const Case cases[] = {
        {"1.IMG", ""},
        {"12ab.img", ""},
        {"0000001A.IMG", ""},
        {"00000000.IMG", std::string("00000000.IMG") + kNamingMessage},
        {"abc.IMG", std::string("abc.IMG") + kNamingMessage},
        {"00000001.IMG", kMapSourceMessage},
        {"00000008.img", kMapSourceMessage},
        {"00000002.txt", ""}, // the extension is not judged
        // mkgmap trims the names it reads, so it would take another file.
        {" 12345678.IMG", std::string(" 12345678.IMG") + kNamingMessage},
        {"12345678.IMG ", std::string("12345678.IMG ") + kNamingMessage},
        {"1234 5678.IMG", ""},
    };
    std::vector<std::string> expectedRows, expectedMessages;
    for (const Case& c : cases) {
        const std::string path = std::string("C:\\Maps\\") + c.fileName;
        addMaps({path});
        if (c.refusal.empty()) {
            expectedRows.push_back(path);
        } else {
            expectedMessages.push_back(c.refusal);
            scripted::answerNextMessage(platform::kAnswerOk);
        }
    }
    std::vector<std::string> rows;
    scripted::queueAction([&] { rows = rowsOfMapList(); });
    runWindow();

    EXPECT_EQ(rows, expectedRows);
    EXPECT_EQ(shownMessageTexts(), expectedMessages);
    for (const auto& message : scripted::shownMessages()) {
        EXPECT_EQ(message.title, "Create Mapset");
        EXPECT_EQ(message.flags, 0x30);
    }
    const auto choosers = scripted::shownChoosers();
    ASSERT_FALSE(choosers.empty());
    EXPECT_EQ(choosers[0].title, "Select Maps");
    EXPECT_EQ(choosers[0].pattern, "Garmin Maps (*.img)|*.IMG");
    EXPECT_EQ(choosers[0].defaultFile, "");
    EXPECT_EQ(choosers[0].multiple, 1);
}

TEST_F(CreateWindowTest, SeveralMapsAtOnceWithOneBadlyNamed) {
    addMaps({"C:\\Maps\\12345678.IMG", "C:\\Maps\\abc.IMG", "C:\\Maps\\87654321.IMG"});
    scripted::answerNextMessage(platform::kAnswerOk);
    addMaps({"C:\\Maps\\12345678.IMG"}); // the same map again is added again
    addMaps({});                         // a cancelled chooser adds nothing
    std::vector<std::string> rows;
    scripted::queueAction([&] { rows = rowsOfMapList(); });
    runWindow();

    EXPECT_EQ(rows, (std::vector<std::string>{"C:\\Maps\\12345678.IMG", "C:\\Maps\\87654321.IMG",
                                              "C:\\Maps\\12345678.IMG"}));
    EXPECT_EQ(shownMessageTexts(), (std::vector<std::string>{std::string("abc.IMG") + kNamingMessage}));
}

TEST_F(CreateWindowTest, TooManyMapsAtOnceAreSaidToBeTooMany) {
    addMaps({"C:\\Maps\\12345678.IMG"});
    scripted::chooseTooManyFiles();
    scripted::queueControlEvent(kSelectMapsButton);
    scripted::answerNextMessage(platform::kAnswerOk);
    addMaps({}); // Cancel says nothing
    addMaps({"C:\\Maps\\87654321.IMG"});
    std::vector<std::string> rows;
    scripted::queueAction([&] { rows = rowsOfMapList(); });
    runWindow();

    EXPECT_EQ(rows, (std::vector<std::string>{"C:\\Maps\\12345678.IMG", "C:\\Maps\\87654321.IMG"}));
    EXPECT_EQ(textsAndFlags("Create Mapset"),
              (Shown{{"Too many maps were chosen at once. Please choose fewer maps at a time.",
                      0x30}}));
}

TEST_F(CreateWindowTest, DeleteMapAndClearListWithAndWithoutRows) {
    std::vector<std::string> afterNoSelection, afterDelete, afterClear, afterEmptyClear;
    scripted::queueControlEvent(kDeleteMapButton); // empty list
    addMaps({"C:\\Maps\\11111111.IMG", "C:\\Maps\\22222222.IMG", "C:\\Maps\\33333333.IMG"});
    scripted::queueControlEvent(kDeleteMapButton); // nothing selected
    scripted::queueAction([&] { afterNoSelection = rowsOfMapList(); });
    scripted::queueSelectRow(kMapList, 1);
    scripted::queueControlEvent(kDeleteMapButton);
    scripted::queueAction([&] { afterDelete = rowsOfMapList(); });
    scripted::queueControlEvent(kClearListButton);
    scripted::queueAction([&] { afterClear = rowsOfMapList(); });
    scripted::queueControlEvent(kClearListButton);
    scripted::queueAction([&] { afterEmptyClear = rowsOfMapList(); });
    runWindow();

    EXPECT_EQ(afterNoSelection.size(), 3u);
    EXPECT_EQ(afterDelete,
              (std::vector<std::string>{"C:\\Maps\\11111111.IMG", "C:\\Maps\\33333333.IMG"}));
    EXPECT_TRUE(afterClear.empty());
    EXPECT_TRUE(afterEmptyClear.empty());
    EXPECT_TRUE(shownMessageTexts().empty());
}

TEST_F(CreateWindowTest, FolderFieldFollowsTheNameField) {
    std::vector<std::string> folderTexts;
    auto note = [&] { scripted::queueAction([&] { folderTexts.push_back(textOf(kFolderField)); }); };
    scripted::queueTyping(kNameField, "Alps"); // Auto mode: the hidden field follows too
    note();
    scripted::queueClick(kCustomToggle, 1);
    scripted::chooseNextFolder("D:\\Maps\\");
    scripted::queueControlEvent(kFolderButton);
    note();
    scripted::queueTyping(kNameField, "Alps West");
    note();
    scripted::queueTyping(kFolderField, "E:\\Typed"); // by hand: lost at the next name event
    scripted::queueControlEvent(kNameField);           // focus change
    note();
    scripted::chooseNextFolder(""); // cancelled: forgets D:\Maps\ but leaves the field
    scripted::queueControlEvent(kFolderButton);
    note();
    scripted::queueTyping(kNameField, "Alps");
    note();
    runWindow();

    EXPECT_EQ(folderTexts, (std::vector<std::string>{
                               "C:\\Garmin\\Oxlo\\Alps", "D:\\Maps\\", "D:\\Maps\\Alps West",
                               "D:\\Maps\\Alps West", "D:\\Maps\\Alps West",
                               "C:\\Garmin\\Oxlo\\Alps"}));
    const auto choosers = scripted::shownChoosers();
    ASSERT_EQ(choosers.size(), 2u);
    EXPECT_TRUE(choosers[0].folder);
    EXPECT_EQ(choosers[0].title, "Please choose your path");
    EXPECT_EQ(choosers[0].defaultFile, "C:\\Garmin");
}

TEST_F(CreateWindowTest, TypChooserFillsTheTypField) {
    std::vector<std::string> typTexts;
    scripted::queueClick(kCustomToggle, 1);
    scripted::chooseNextFiles({"C:\\Types\\alps.typ"});
    scripted::queueControlEvent(kTypButton);
    scripted::queueAction([&] { typTexts.push_back(textOf(kTypField)); });
    scripted::chooseNextFiles({}); // cancelled: the field keeps its text
    scripted::queueControlEvent(kTypButton);
    scripted::queueAction([&] { typTexts.push_back(textOf(kTypField)); });
    runWindow();

    EXPECT_EQ(typTexts, (std::vector<std::string>{"C:\\Types\\alps.typ", "C:\\Types\\alps.typ"}));
    const auto choosers = scripted::shownChoosers();
    ASSERT_EQ(choosers.size(), 2u);
    EXPECT_EQ(choosers[0].title, "Select TYP File");
    EXPECT_EQ(choosers[0].pattern, "TYP File (*.typ)|*.TYP");
    EXPECT_EQ(choosers[0].patternPosition, 0);
    EXPECT_EQ(choosers[0].multiple, 0);
}

TEST_F(CreateWindowTest, CancelClosesTheWindow) {
    scripted::queueControlEvent(kCancelButton);
    runCreateMapsetWindow("a", "b");
    EXPECT_EQ(scripted::pendingSteps(), 0);
    EXPECT_EQ(scripted::findWindow(kCreateWindow), nullptr);
    EXPECT_EQ(scripted::findControl(kMapList), nullptr);
}

} // namespace
} // namespace oxlo::testing
