// The attribute panel: draw priority and transparency of the selected map, shown and saved.
#include "builder_test_support.h"

#include "builder/create_mapset_window.h"
#include "platform/services.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace builder;
namespace scripted = platform::scripted;

// A map whose TRE signature starts at byte 100, so headerEnd is 110, the transparency byte 161
// and the draw priority byte 162. Every other byte is a sentinel that a save must not touch.
constexpr std::size_t kTransparencyByte = 161;
constexpr std::size_t kPriorityByte = 162;

std::vector<std::uint8_t> mapBytes(std::uint8_t transparency, std::uint8_t priority,
                                   bool withSignature = true) {
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0xA0 ^ i);
    if (withSignature) {
        const std::string signature = "GARMIN TRE";
        std::copy(signature.begin(), signature.end(), bytes.begin() + 100);
    }
    bytes[kTransparencyByte] = transparency;
    bytes[kPriorityByte] = priority;
    return bytes;
}

struct PanelView {
    std::string priority;
    int transparent = -1;
    bool shown = false;
};

class AttributePanelTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        setCatalogue({});
        openWindowAsNewDoes();
        scripted::queueClick(kCustomToggle, 1);
    }
    std::string addMap(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
        const std::string path = folder_ + "\\" + fileName;
        writeFileBytes(path, bytes);
        scripted::chooseNextFiles({path});
        scripted::queueControlEvent(kSelectMapsButton);
        return path;
    }
    void look(PanelView& view) {
        scripted::queueAction([&view] {
            view.priority = scripted::findControl(kPriorityField)->text;
            view.transparent = scripted::findControl(kTransparentBox)->state;
            view.shown = scripted::findControl(kSaveAttributeButton)->visible;
        });
    }
    // Selects the first map, opens the panel, types the priority, sets the box (unless -1),
    // presses Save and answers its question.
    void saveFirstMap(const std::string& priority, int box, int answer) {
        scripted::queueSelectRow(kMapList, 0);
        scripted::queueControlEvent(kMapAttributeButton);
        scripted::queueTyping(kPriorityField, priority);
        if (box >= 0) scripted::queueClick(kTransparentBox, box);
        scripted::queueControlEvent(kSaveAttributeButton);
        scripted::answerNextMessage(answer);
    }
    void run() {
        scripted::queueClose();
        runCreateMapsetWindow("C:\\Tools\\cgpsmapper.exe", "C:\\Tools\\cpreview.exe");
        EXPECT_EQ(scripted::pendingSteps(), 0) << "the loop left scripted steps unread";
    }
};

TEST_F(AttributePanelTest, WithoutASelectedMapTheUserIsAskedToSelectOne) {
    PanelView hiddenView, shownView;
    addMap("12345678.IMG", mapBytes(1, 20));
    scripted::queueControlEvent(kMapAttributeButton); // no row selected
    scripted::answerNextMessage(platform::kAnswerOk);
    look(hiddenView);
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kMapAttributeButton);
    scripted::queueSelectRow(kMapList, -1); // a list event while the panel is shown
    scripted::answerNextMessage(platform::kAnswerOk);
    look(shownView);
    run();

    EXPECT_FALSE(hiddenView.shown);
    EXPECT_TRUE(shownView.shown) << "the message leaves the panel as it is";
    EXPECT_EQ(shownView.priority, "20");
    EXPECT_EQ(textsAndFlags("Map Attribute"),
              (Shown{{"Please select a map.", 0x40}, {"Please select a map.", 0x40}}));
}

TEST_F(AttributePanelTest, LoadShowsPriorityAsSignedByteAndTransparencyOnlyForThree) {
    PanelView first, second, third, hiddenAgain;
    addMap("11111111.IMG", mapBytes(3, 200));
    addMap("22222222.IMG", mapBytes(2, 31));
    addMap("33333333.IMG", mapBytes(1, 7));
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kMapAttributeButton);
    look(first);
    scripted::queueSelectRow(kMapList, 1); // the shown panel follows the selection
    look(second);
    scripted::queueSelectRow(kMapList, 2);
    look(third);
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kMapAttributeButton); // hides, and loads all the same
    look(hiddenAgain);
    run();

    EXPECT_EQ(first.priority, "-56");
    EXPECT_EQ(first.transparent, 1);
    EXPECT_EQ(second.priority, "31");
    EXPECT_EQ(second.transparent, 0) << "only the value 3 means transparent";
    EXPECT_EQ(third.priority, "7");
    EXPECT_EQ(third.transparent, 0);
    EXPECT_FALSE(hiddenAgain.shown);
    EXPECT_EQ(hiddenAgain.priority, "-56");
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(AttributePanelTest, SaveClampsThePriorityAndWritesOnlyTheTwoBytes) {
    struct Case {
        const char* typed;
        int box;
        std::uint8_t priority;
        std::uint8_t transparency;
    };
    const Case cases[] = {
        {"45", 1, 31, 3}, {"0", 0, 1, 1}, {"-3", 1, 1, 3}, {"", 0, 1, 1},
        {"200", 0, 31, 1}, {"7", 1, 7, 3}, {"31", 0, 31, 1}, {"1", 1, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("priority \"") + c.typed + "\", box " + std::to_string(c.box));
        scripted::resetScript();
        openWindowAsNewDoes();
        scripted::queueClick(kCustomToggle, 1);
        const std::vector<std::uint8_t> before = mapBytes(2, 20);
        const std::string path = addMap("12345678.IMG", before);
        PanelView afterSave;
        saveFirstMap(c.typed, c.box, platform::kAnswerYes);
        look(afterSave);
        run();

        std::vector<std::uint8_t> expected = before;
        expected[kTransparencyByte] = c.transparency;
        expected[kPriorityByte] = c.priority;
        EXPECT_EQ(fileBytes(path), expected);
        EXPECT_FALSE(afterSave.shown) << "Save hides the panel";
        EXPECT_EQ(textsAndFlags("Save Map Attribute"),
                  (Shown{{"Be warned that changing these attribute may make your map unworkable. "
                          "Make sure you have backed up your map before proceeding. Update "
                          "12345678.IMG?",
                          0x44}}));
    }
}

TEST_F(AttributePanelTest, NoToTheSaveQuestionWritesNothing) {
    const std::vector<std::uint8_t> before = mapBytes(1, 12);
    const std::string path = addMap("12345678.IMG", before);
    PanelView afterNo;
    saveFirstMap("25", -1, platform::kAnswerNo);
    look(afterNo);
    run();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_FALSE(afterNo.shown);
}

TEST_F(AttributePanelTest, MapWithoutAttributesShowsNothingAndIsNeverWritten) {
    const std::vector<std::uint8_t> noSignature = mapBytes(3, 9, false);
    addMap("11111111.IMG", mapBytes(3, 20));
    const std::string unsigned_ = addMap("22222222.IMG", noSignature);
    const std::string missing = folder_ + "\\33333333.IMG";
    scripted::chooseNextFiles({missing});
    scripted::queueControlEvent(kSelectMapsButton);
    PanelView good, withoutHeader, missingView;
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kMapAttributeButton);
    look(good);
    scripted::queueSelectRow(kMapList, 1);
    look(withoutHeader);
    scripted::queueTyping(kPriorityField, "12");
    scripted::queueClick(kTransparentBox, 1);
    scripted::queueControlEvent(kSaveAttributeButton);
    scripted::answerNextMessage(platform::kAnswerOk);
    scripted::queueSelectRow(kMapList, 2);
    scripted::queueControlEvent(kMapAttributeButton);
    look(missingView);
    scripted::queueControlEvent(kSaveAttributeButton);
    scripted::answerNextMessage(platform::kAnswerOk);
    run();

    EXPECT_EQ(good.priority, "20");
    EXPECT_EQ(withoutHeader.priority, "") << "the first map's values must not stay on display";
    EXPECT_EQ(withoutHeader.transparent, 0);
    EXPECT_EQ(missingView.priority, "");
    EXPECT_EQ(fileBytes(unsigned_), noSignature);
    EXPECT_FALSE(fileExists(missing)) << "a save must not create the map";
    EXPECT_EQ(shownMessageTexts(),
              (std::vector<std::string>{
                  "No map attributes found in 22222222.IMG. Nothing was saved.",
                  "No map attributes found in 33333333.IMG. Nothing was saved."}));
    for (const auto& message : scripted::shownMessages()) {
        EXPECT_EQ(message.title, "Save Map Attribute");
        EXPECT_EQ(message.flags, 0x30);
    }
}

TEST_F(AttributePanelTest, MapThatCannotBeWrittenSaysSoAndKeepsThePanelOpen) {
    const std::vector<std::uint8_t> before = mapBytes(1, 12);
    const std::string path = addMap("12345678.IMG", before);
    PanelView afterFailure;
    saveFirstMap("25", 1, platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk);
    look(afterFailure);
    {
        WriteBlock block(path);
        run();
    }

    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(afterFailure.shown) << "the panel stays open for another try";
    EXPECT_EQ(afterFailure.priority, "25");
    EXPECT_EQ(afterFailure.transparent, 1);
    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "The map attributes could not be saved to " + path + ".");
    EXPECT_EQ(messages[1].title, "Save Map Attribute");
    EXPECT_EQ(messages[1].flags, 0x30);
}

} // namespace
} // namespace oxlo::testing
