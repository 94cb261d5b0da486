// Create Mapset: locating the tools, the checks in their order with their messages, and the
// folder and family ID that reach the build.
#include "builder_test_support.h"

#include "builder/create_mapset_window.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

using namespace builder;
namespace scripted = platform::scripted;

const char* const kFinalQuestion =
    "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be updated. "
    "Proceed?";
const char* const kRangeMessage = "Product code range limited to 6000 - 7000 by Oxlo. Please "
                                  "select a number between 6000 and 7000.";
const char* const kPreviewMissing = "Mapset Creation Failed!\r\r";

class CreateChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        startFolder_ = platform::getCurrentDirectory();
        folder_ = freshTestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        compiler_ = folder_ + "\\cgpsmapper.exe";
        preview_ = folder_ + "\\cpreview.exe";
        writeFileText(compiler_, "");
        writeFileText(preview_, "");
        setCatalogue({});
        openWindowAsNewDoes();
    }
    void TearDown() override {
        // A build leaves its folder current; move away so the folder can be removed.
        platform::setCurrentDirectory(startFolder_);
        for (const std::string& made : made_) std::filesystem::remove_all(hostPath(made));
    }

    void typeName(const std::string& name) { scripted::queueTyping(kNameField, name); }
    void addMap(const std::string& path) {
        scripted::chooseNextFiles({path});
        scripted::queueControlEvent(kSelectMapsButton);
    }
    void pressCreate() { scripted::queueControlEvent(kCreateButton); }
    // The build is made to stop at its first tool: cpreview.exe is "missing" and the user
    // cancels its chooser, so the control file shows what the checks handed over.
    void pressCreateWithPreviewCancelled() {
        pressCreate();
        scripted::chooseNextFiles({});
    }
    void run(const std::string& compiler, const std::string& preview) {
        scripted::queueClose();
        runCreateMapsetWindow(compiler, preview);
        EXPECT_EQ(scripted::pendingSteps(), 0) << "the loop left scripted steps unread";
    }
    void run() { run(compiler_, preview_); }
    void runWithPreviewMissing() { run(compiler_, folder_ + "\\no-cpreview.exe"); }
    // Remembered for removal: Auto mode builds below C:\Garmin\Oxlo on every target.
    std::string autoFolder(const std::string& name) {
        made_.push_back("C:\\Garmin\\Oxlo\\" + name);
        return made_.back();
    }
    std::string controlFileLine(const std::string& mapsetFolder, const std::string& key) {
        for (const std::string& line : crlfLines(fileText(mapsetFolder + "\\Oxlo.txt")))
            if (line.rfind(key, 0) == 0) return line;
        return "<no " + key + " line in " + mapsetFolder + "\\Oxlo.txt>";
    }

    std::string startFolder_, folder_, compiler_, preview_;
    std::vector<std::string> made_;
};

TEST_F(CreateChecksTest, EmptyNameIsTheOnlyComplaint) {
    setCatalogue({familyRow("", 6001)});
    pressCreate(); // no name, no maps
    scripted::answerNextMessage(platform::kAnswerOk);
    run();
    ASSERT_EQ(scripted::shownMessages().size(), 1u);
    EXPECT_EQ(scripted::shownMessages()[0].text, "Please name the mapset.");
    EXPECT_EQ(scripted::shownMessages()[0].title, "Create Mapset");
    EXPECT_EQ(scripted::shownMessages()[0].flags, 0x30);
}

TEST_F(CreateChecksTest, NamesThatCannotBeFoldersAreRefusedAfterTheSlashCheck) {
    const std::string slashes = "Please do not use slashes and backslashes for mapset name.";
    const std::string folderName = "Please use a mapset name that can be a folder name.";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Alps/West", slashes}, {"Alps\\West", slashes}, {"a:b/c", slashes},
        {".", folderName},      {"..", folderName},      {"C:Alps", folderName},
        {"Al*ps", folderName},  {"Al?ps", folderName},   {"A<l>ps", folderName},
        {"Al|ps", folderName},  {"Al\"ps", folderName},  {"Alps.", folderName},
        {"Alps ", folderName},  {"Al\tps", folderName},
    };
    std::vector<std::string> expected;
    for (const auto& [name, message] : cases) {
        typeName(name);
        pressCreate(); // no maps: that check would speak if the name passed
        scripted::answerNextMessage(platform::kAnswerOk);
        expected.push_back(message);
    }
    run();
    EXPECT_EQ(messageTexts(), expected);
}

TEST_F(CreateChecksTest, MapsAndExistingNamesAreCheckedBeforeTheFinalQuestion) {
    setCatalogue({familyRow("Alps", 6001), productRow("Alps", 6002), familyRow("alps", 6003),
                  familyRow("Alps", 6004)});
    typeName("Alps");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerOk); // no map yet
    addMap("C:\\Maps\\12345678.IMG");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerNo); // first family Alps
    scripted::answerNextMessage(platform::kAnswerYes); // second: still asked after the No
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerNo); // the final question
    run();

    const std::string existing = "There is already an existing mapset named Alps. You will be "
                                 "overwriting the existing mapset. Proceed?";
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"Please select at least one map.", existing, existing,
                                        existing, existing, kFinalQuestion}));
    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[1].flags, 0x34);
    EXPECT_EQ(messages[5].flags, 0x24);
    EXPECT_EQ(messages[5].title, "Create Mapset");
    EXPECT_FALSE(folderExists("C:\\Garmin\\Oxlo\\Alps")) << "No to the final question builds nothing";
}

TEST_F(CreateChecksTest, AutoModeTakesTheFirstFreeFamilyIdAndMakesItsFolders) {
    struct Case {
        std::vector<catalogue::InstalledMapset> rows;
        const char* expectedFid;
    };
    const Case cases[] = {
        {{}, "FID=6001"},
        {{familyRow("A", 6001), familyRow("B", 6002), productRow("C", 6003)}, "FID=6003"},
        {{familyRow("A", 6002), productRow("C", 6001), familyRow("B", 5000)}, "FID=6001"},
        {{familyRow("A", 6003), familyRow("B", 6001), familyRow("C", 6002)}, "FID=6004"},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string name = "oxlo-test-auto-" + std::to_string(++round);
        SCOPED_TRACE(name);
        scripted::resetScript();
        setCatalogue(c.rows);
        openWindowAsNewDoes();
        typeName(name);
        addMap("C:\\Maps\\12345678.IMG");
        pressCreateWithPreviewCancelled();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk); // the build fails at cpreview.exe
        runWithPreviewMissing();
        // createDirectory makes one level only: without C:\Garmin first, no folder would exist.
        const std::string mapsetFolder = autoFolder(name);
        EXPECT_TRUE(folderExists(mapsetFolder));
        EXPECT_EQ(controlFileLine(mapsetFolder, "FID="), c.expectedFid);
        EXPECT_EQ(messageTexts().back(), kPreviewMissing);
    }
}

TEST_F(CreateChecksTest, CustomFamilyIdRangeAndDuplicates) {
    setCatalogue({familyRow("Other", 6500), productRow("Product", 6400)});
    struct Case {
        const char* typed;
        std::string message; // empty: the build starts
    };
    const Case cases[] = {
        {"", kRangeMessage},
        {"5999", kRangeMessage},
        {"7001", kRangeMessage},
        {"06500", "There is already an existing mapset with FID 06500. Please use another FID."},
        {"6000", ""},
        {"7000", ""},
        {"6400", ""}, // a product code is no family ID
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Family ID \"") + c.typed + "\"");
        scripted::resetScript();
        openWindowAsNewDoes();
        const std::string mapsetFolder =
            folder_ + "\\fid-" + (c.typed[0] ? std::string(c.typed) : std::string("empty"));
        scripted::queueClick(kCustomToggle, 1);
        typeName("Alps");
        scripted::queueTyping(kFolderField, mapsetFolder);
        scripted::queueTyping(kFamilyIdField, c.typed);
        addMap("C:\\Maps\\12345678.IMG");
        pressCreateWithPreviewCancelled();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        runWithPreviewMissing();

        ASSERT_EQ(messageTexts().size(), 2u);
        EXPECT_EQ(messageTexts()[0], kFinalQuestion);
        if (c.message.empty()) {
            EXPECT_EQ(messageTexts()[1], kPreviewMissing);
            EXPECT_EQ(controlFileLine(mapsetFolder, "FID="), std::string("FID=") + c.typed);
        } else {
            EXPECT_EQ(messageTexts()[1], c.message);
            EXPECT_EQ(scripted::shownMessages()[1].flags, 0x30);
            EXPECT_FALSE(folderExists(mapsetFolder)) << "a refused Custom build creates nothing";
        }
    }
}

TEST_F(CreateChecksTest, MapsReachTheBuildInListOrderAfterDeleteMap) {
    const std::string mapsetFolder = folder_ + "\\Alps";
    scripted::queueClick(kCustomToggle, 1);
    typeName("Alps");
    scripted::queueTyping(kFolderField, mapsetFolder);
    scripted::queueTyping(kFamilyIdField, "6100");
    scripted::chooseNextFiles(
        {"C:\\Maps\\11111111.IMG", "C:\\Maps\\22222222.IMG", "C:\\Maps\\33333333.IMG"});
    scripted::queueControlEvent(kSelectMapsButton);
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kDeleteMapButton);
    scripted::chooseNextFiles({"C:\\Other\\44444444.IMG"});
    scripted::queueControlEvent(kSelectMapsButton);
    pressCreateWithPreviewCancelled();
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk);
    runWithPreviewMissing();

    const std::vector<std::string> lines = crlfLines(fileText(mapsetFolder + "\\Oxlo.txt"));
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 19, lines.end()),
              (std::vector<std::string>{"IMG=22222222.IMG", "IMG=33333333.IMG",
                                        "IMG=44444444.IMG", "[END-FILES]"}));
}

TEST_F(CreateChecksTest, MissingToolsAreOfferedBeforeTheNameCheck) {
    const std::string located = folder_ + "\\located-cgpsmapper.exe";
    writeFileText(located, "");
    pressCreate();
    scripted::chooseNextFiles({located}); // Find cgpsmapper
    scripted::chooseNextFiles({});        // Find cPreview, cancelled
    scripted::answerNextMessage(platform::kAnswerOk);
    pressCreate();                        // only cPreview is offered again
    scripted::chooseNextFiles({});
    scripted::answerNextMessage(platform::kAnswerOk);
    run(folder_ + "\\missing-cgpsmapper.exe", folder_ + "\\missing-cpreview.exe");

    const auto choosers = scripted::shownChoosers();
    ASSERT_EQ(choosers.size(), 3u);
    EXPECT_EQ(choosers[0].title, "Find cgpsmapper");
    EXPECT_EQ(choosers[0].defaultFile, "cgpsmapper.exe");
    EXPECT_EQ(choosers[0].pattern, "Compiler|*.EXE");
    EXPECT_EQ(choosers[0].multiple, 0);
    EXPECT_EQ(choosers[1].title, "Find cPreview");
    EXPECT_EQ(choosers[1].defaultFile, "cpreview.exe");
    EXPECT_EQ(choosers[1].pattern, "Compiler|*.EXE");
    EXPECT_EQ(choosers[2].title, "Find cPreview");
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Please name the mapset.",
                                                        "Please name the mapset."}));
}

} // namespace
} // namespace oxlo::testing
