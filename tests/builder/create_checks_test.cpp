// Create Mapset: locating the tools, the checks in their order with their messages, and the
// folder and family ID that reach the build.
#include "builder_test_support.h"

#include "builder/create_mapset_window.h"
#include "catalogue/bundle_folders.h"
#include "platform/services.h"
#include "support/folder_test.h"

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
const char* const kBuildFailed = "Mapset Creation Failed!\r\r";

class CreateChecksTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        compiler_ = folder_ + "\\cgpsmapper.exe";
        preview_ = folder_ + "\\cpreview.exe";
        writeFileText(compiler_, "");
        writeFileText(preview_, "");
        setCatalogue({});
        clearRegisteredMapsets();
        openWindowAsNewDoes();
    }
    void TearDown() override {
        // A build leaves its folder current; move away so the folder can be removed.
        FolderTest::TearDown();
        for (const std::string& made : made_) std::filesystem::remove_all(hostPath(made));
        clearRegisteredMapsets();
    }

    void typeName(const std::string& name) { scripted::queueTyping(kNameField, name); }
    // A map file of that name in the test folder (the build copies it), chosen with Select Maps.
    std::string addMap(const std::string& fileName) {
        const std::string path = mapPath(fileName);
        scripted::chooseNextFiles({path});
        scripted::queueControlEvent(kSelectMapsButton);
        return path;
    }
    std::string mapPath(const std::string& fileName) {
        const std::string path = folder_ + "\\maps\\" + fileName;
        if (!fileExists(path)) writeFileText(path, "map " + fileName);
        return path;
    }
    void chooseCustomFolder(const std::string& folder, const std::string& familyId) {
        scripted::queueClick(kCustomToggle, 1);
        scripted::queueTyping(kFolderField, folder);
        scripted::queueTyping(kFamilyIdField, familyId);
    }
    void pressCreate() { scripted::queueControlEvent(kCreateButton); }
    void run(const std::string& compiler, const std::string& preview) {
        scripted::queueClose();
        runCreateMapsetWindow(compiler, preview);
        EXPECT_EQ(scripted::pendingSteps(), 0) << "the loop left scripted steps unread";
    }
    void run() { run(compiler_, preview_); }
    // The build is made to fail at its compiler (the empty cgpsmapper.exe does not start) after
    // the stand-in cpreview.exe read the control file.
    void runToAFailedCompiler() { run(compiler_, standInProgram("cpreview")); }
    // The stand-in keeps a copy of the control file it reads in `mapsetFolder`, made beforehand.
    void keepControlFileIn(const std::string& mapsetFolder) {
        std::filesystem::create_directories(hostPath(mapsetFolder));
        writeFileText(mapsetFolder + "\\standin-control.txt", "cpreview keep-input\r\n");
    }
    // Remembered for removal: Auto mode builds below C:\Garmin\Oxlo on every target.
    std::string autoFolder(const std::string& name) {
        made_.push_back("C:\\Garmin\\Oxlo\\" + name);
        return made_.back();
    }
    std::string controlFileLine(const std::string& mapsetFolder, const std::string& key) {
        const std::string kept = mapsetFolder + "\\cpreview-input.txt";
        for (const std::string& line : crlfLines(fileText(kept)))
            if (line.rfind(key, 0) == 0) return line;
        return "<no " + key + " line in " + kept + ">";
    }

    std::string compiler_, preview_;
    std::vector<std::string> made_;
};

TEST_F(CreateChecksTest, EmptyNameIsTheOnlyComplaint) {
    setCatalogue({familyRow("", 6001)});
    pressCreate(); // no name, no maps
    scripted::answerNextMessage(platform::kAnswerOk);
    run();
    EXPECT_EQ(textsAndFlags("Create Mapset"), (Shown{{"Please name the mapset.", 0x30}}));
}

TEST_F(CreateChecksTest, NamesThatCannotBeFoldersOrDevicesAreRefusedAfterTheSlashCheck) {
    const std::string slashes = "Please do not use slashes and backslashes for mapset name.";
    const std::string folderName = "Please use a mapset name that can be a folder name.";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Alps/West", slashes}, {"Alps\\West", slashes}, {"a:b/c", slashes},
        {".", folderName},      {"..", folderName},      {"C:Alps", folderName},
        {"Al*ps", folderName},  {"Al?ps", folderName},   {"A<l>ps", folderName},
        {"Al|ps", folderName},  {"Al\"ps", folderName},  {"Alps.", folderName},
        {"Alps ", folderName},  {"Al\tps", folderName},  {"CON", folderName},
        {"nul", folderName},    {"Com1", folderName},    {"LPT9.txt", folderName},
        {"aux .map", folderName},
        // mkgmap trims the name, and its files would be named otherwise.
        {" Alps", folderName},      {std::string(256, 'A'), folderName},
    };
    std::vector<std::string> expected;
    for (const auto& [name, message] : cases) {
        typeName(name);
        pressCreate(); // no maps: that check would speak if the name passed
        scripted::answerNextMessage(platform::kAnswerOk);
        expected.push_back(message);
    }
    run();
    EXPECT_EQ(shownMessageTexts(), expected);
}

TEST_F(CreateChecksTest, MapsAndExistingNamesAreCheckedBeforeTheFinalQuestion) {
    // The question comes from the registry, whatever the catalogue shows, and ignores letter case
    // as key names do. Products and catalogue rows of the name count for nothing.
    setCatalogue({familyRow("Elsewhere", 6009), productRow("Elsewhere", 6008)});
    registerFamily("Alps", 6001);
    registerFamily("Other", 6002);
    putText(kProductsPath + "\\Elsewhere", "LOC", "C:\\Elsewhere");
    typeName("Alps");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerOk); // no map yet
    addMap("12345678.IMG");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerNo); // the family Alps
    typeName("aLPS");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerYes); // the same family, another spelling
    scripted::answerNextMessage(platform::kAnswerNo);  // the final question
    typeName("Elsewhere");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerNo); // the final question at once
    run();

    const auto existing = [](const std::string& name) {
        return "There is already an existing mapset named " + name +
               ". You will be overwriting the existing mapset. Proceed?";
    };
    EXPECT_EQ(shownMessageTexts(),
              (std::vector<std::string>{"Please select at least one map.", existing("Alps"),
                                        existing("aLPS"), kFinalQuestion, kFinalQuestion}));
    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[1].flags, 0x34);
    EXPECT_EQ(messages[1].title, "Create Mapset");
    EXPECT_EQ(messages[3].flags, 0x24);
    EXPECT_EQ(messages[3].title, "Create Mapset");
    EXPECT_FALSE(folderExists("C:\\Garmin\\Oxlo\\Alps")) << "No to the final question builds nothing";
    EXPECT_EQ(subkeyNames(kFamiliesPath), (std::vector<std::string>{"Alps", "Other"}));
}

TEST_F(CreateChecksTest, EveryRegisteredFamilyCountsNotOnlyTheCatalogueRows) {
    // 120 families, of which the catalogue shows the first 100 rows only.
    std::vector<catalogue::InstalledMapset> rows;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "Family" + std::to_string(1000 + i);
        registerFamily(name, 6001 + i);
        if (i < catalogue::kMaxMapsets) rows.push_back(familyRow(name, 6001 + i));
    }
    setCatalogue(rows);
    typeName("family1119");
    addMap("12345678.IMG");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerNo); // the 120th family has that name
    typeName("Beyond");
    const std::string customFolder = folder_ + "\\Beyond";
    chooseCustomFolder(customFolder, "6120");
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk); // the 120th family has that ID
    scripted::queueClick(kAutoToggle, 1);
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk); // the empty cgpsmapper.exe does not start
    keepControlFileIn(autoFolder("Beyond"));
    runToAFailedCompiler();

    EXPECT_EQ(shownMessageTexts(),
              (std::vector<std::string>{
                  "There is already an existing mapset named family1119. You will be "
                  "overwriting the existing mapset. Proceed?",
                  kFinalQuestion,
                  "There is already an existing mapset with FID 6120. Please use another FID.",
                  kFinalQuestion, kBuildFailed}));
    EXPECT_FALSE(folderExists(customFolder));
    EXPECT_EQ(controlFileLine(autoFolder("Beyond"), "FID="), "FID=6121");
}

TEST_F(CreateChecksTest, FolderOfAnotherRegisteredMapsetIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        const char* what;
        bool automatic;
        std::string loc;     // registered as the LOC of Families\Alps2 or Products\150
        bool family;
        std::string refusal; // empty: the build goes ahead
    };
    const std::string custom = folder_ + "\\Taken";
    const std::string refusal = " holds mapset %. Please choose another mapset name or folder.";
    const Case cases[] = {
        {"Auto, a family's folder in capitals", true, "C:\\GARMIN\\OXLO\\ALPS", true,
         "Families\\Alps2"},
        {"Auto, a product's folder with a backslash", true, "c:\\garmin\\oxlo\\alps\\", false,
         "Products\\150"},
        {"Custom, a family's folder in small letters", false, folder_ + "\\taken", true,
         "Families\\Alps2"},
        {"Custom, a product's folder doubled backslash", false, folder_ + "\\\\TAKEN", false,
         "Products\\150"},
        {"Custom, the family being replaced", false, custom, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scripted::resetScript();
        clearRegisteredMapsets();
        registerFamily("Alps", 6300); // the user agrees to replace it
        const std::string key = c.family ? (c.refusal.empty() ? "Alps" : "Alps2") : "150";
        if (c.family) {
            if (!c.refusal.empty()) registerFamily(key, 6301);
            putText(kFamiliesPath + "\\" + key + "\\1", "LOC", c.loc);
        } else {
            putText(kProductsPath + "\\" + key, "LOC", c.loc);
        }
        openWindowAsNewDoes();
        typeName("Alps");
        addMap("12345678.IMG");
        if (!c.automatic) chooseCustomFolder(custom, "6400");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes); // replace Alps
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        runToAFailedCompiler();
        const std::string folder = c.automatic ? autoFolder("Alps") : custom;
        const auto last = scripted::shownMessages().back();
        if (c.refusal.empty()) {
            EXPECT_EQ(last.text, kBuildFailed) << "the build went ahead";
            continue;
        }
        std::string text = "The folder " + folder + refusal;
        text.replace(text.find('%'), 1, c.refusal);
        EXPECT_EQ(last.text, text);
        EXPECT_EQ(last.title, "Create Mapset");
        EXPECT_EQ(last.flags, 0x30);
        EXPECT_FALSE(folderExists(folder)) << "nothing made before the check";
    }
    // A BaseCamp bundle's folder, or one inside it, goes whole when the bundle is uninstalled.
    clearBundleFolders();
    const std::string bundle = addBundle(platform::KnownFolder::RoamingAppData, "Clash.gmap");
    for (const std::string& folder : {bundle, bundle + "\\alps"}) {
        SCOPED_TRACE(folder);
        scripted::resetScript();
        clearRegisteredMapsets();
        openWindowAsNewDoes();
        typeName("Alps");
        addMap("12345678.IMG");
        chooseCustomFolder(folder, "6400");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        runToAFailedCompiler();
        std::string text = "The folder " + folder + refusal;
        text.replace(text.find('%'), 1, "Maps\\Clash.gmap");
        EXPECT_EQ(shownMessageTexts().back(), text);
        EXPECT_FALSE(folderExists(bundle + "\\alps")) << "nothing made before the check";
    }
    clearBundleFolders();
}

TEST_F(CreateChecksTest, EveryPathTheEntryWouldHoldMustFitWhatTheScanReadsBack) {
    // Lengths of FOLDER\Alps.TDB (cgpsmapper's longest) and of the TYP copy's path (0: no TYP).
    const std::tuple<std::size_t, std::size_t, bool> cases[] = {
        {254, 0, false}, {255, 0, true}, {200, 255, true}, {254, 254, false}};
    for (const auto& [index, typ, refused] : cases) {
        SCOPED_TRACE(std::to_string(index) + " and " + std::to_string(typ));
        scripted::resetScript();
        openWindowAsNewDoes();
        const std::string mapsetFolder = folder_ + "\\" + std::string(index - folder_.size() - 10, 'f');
        const std::string typName = std::string(typ ? typ - mapsetFolder.size() - 5 : 0, 't') + ".typ";
        typeName("Alps");
        chooseCustomFolder(mapsetFolder, "6100");
        if (typ) scripted::queueTyping(kTypField, folder_ + "\\" + typName);
        addMap("12345678.IMG");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        runToAFailedCompiler();
        const std::string path = mapsetFolder + "\\" + (typ > index ? typName : "Alps.TDB");
        EXPECT_EQ(shownMessageTexts().back(),
                  !refused ? std::string(kBuildFailed)
                           : "The path " + path + " is longer than the 254 characters that "
                             "MapSource's registry entries can hold. Please choose a shorter "
                             "mapset name or folder.");
        EXPECT_EQ(folderExists(mapsetFolder), !refused) << "nothing made before the check";
    }
}

TEST_F(CreateChecksTest, AutoModeTakesTheFirstFreeFamilyId) {
    struct Case {
        std::vector<std::pair<std::string, std::int32_t>> families;
        const char* expectedFid;
        std::int32_t bundleId = 0; // of a BaseCamp bundle, when not 0
    };
    const Case cases[] = {
        {{}, "FID=6001"},
        {{{"A", 6001}, {"B", 6002}}, "FID=6003"},
        {{{"A", 6002}, {"B", 5000}}, "FID=6001"},
        {{{"A", 6003}, {"B", 6001}, {"C", 6002}}, "FID=6004"},
        {{{"A", 6001}}, "FID=6003", 6002},
    };
    // A product's code is no family ID.
    putText(kProductsPath + "\\6001", "LOC", "C:\\Elsewhere");
    int round = 0;
    for (const Case& c : cases) {
        const std::string name = "oxlo-test-auto-" + std::to_string(++round);
        SCOPED_TRACE(name);
        scripted::resetScript();
        removeRegistryTree(kFamiliesPath);
        for (const auto& [family, id] : c.families) registerFamily(family, id);
        clearBundleFolders();
        if (c.bundleId != 0) {
            const std::string info = infoOf("Clash", c.bundleId);
            addBundle(platform::KnownFolder::RoamingAppData, "Clash.gmap", &info);
        }
        openWindowAsNewDoes();
        typeName(name);
        addMap("12345678.IMG");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk); // the build fails at cgpsmapper.exe
        const std::string mapsetFolder = autoFolder(name);
        keepControlFileIn(mapsetFolder);
        runToAFailedCompiler();
        EXPECT_EQ(controlFileLine(mapsetFolder, "FID="), c.expectedFid);
        EXPECT_EQ(shownMessageTexts().back(), kBuildFailed);
    }
    clearBundleFolders();
}

TEST_F(CreateChecksTest, CustomFamilyIdRangeAndDuplicates) {
    registerFamily("Other", 6500);
    putText(kProductsPath + "\\6400", "LOC", "C:\\Elsewhere");
    const std::string clash = infoOf("Clash", 6600);
    addBundle(platform::KnownFolder::ProgramData, "Clash.gmap", &clash);
    struct Case {
        const char* typed;
        std::string message; // empty: the build starts
    };
    const Case cases[] = {
        {"", kRangeMessage},
        {"5999", kRangeMessage},
        {"7001", kRangeMessage},
        {"06500", "There is already an existing mapset with FID 06500. Please use another FID."},
        {"6600", "There is already an existing mapset with FID 6600. Please use another FID."},
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
        typeName("Alps");
        chooseCustomFolder(mapsetFolder, c.typed);
        addMap("12345678.IMG");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        if (c.message.empty()) keepControlFileIn(mapsetFolder);
        runToAFailedCompiler();

        ASSERT_EQ(shownMessageTexts().size(), 2u);
        EXPECT_EQ(shownMessageTexts()[0], kFinalQuestion);
        if (c.message.empty()) {
            EXPECT_EQ(shownMessageTexts()[1], kBuildFailed);
            EXPECT_EQ(controlFileLine(mapsetFolder, "FID="), std::string("FID=") + c.typed);
        } else {
            EXPECT_EQ(shownMessageTexts()[1], c.message);
            EXPECT_EQ(scripted::shownMessages()[1].flags, 0x30);
            EXPECT_FALSE(folderExists(mapsetFolder)) << "a refused Custom build creates nothing";
        }
    }
    clearBundleFolders();
}

TEST_F(CreateChecksTest, MapsReachTheBuildInListOrderAfterDeleteMap) {
    const std::string mapsetFolder = folder_ + "\\Alps";
    typeName("Alps");
    chooseCustomFolder(mapsetFolder, "6100");
    scripted::chooseNextFiles(
        {mapPath("11111111.IMG"), mapPath("22222222.IMG"), mapPath("33333333.IMG")});
    scripted::queueControlEvent(kSelectMapsButton);
    scripted::queueSelectRow(kMapList, 0);
    scripted::queueControlEvent(kDeleteMapButton);
    const std::string other = folder_ + "\\other\\44444444.IMG";
    writeFileText(other, "other map");
    scripted::chooseNextFiles({other});
    scripted::queueControlEvent(kSelectMapsButton);
    pressCreate();
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk);
    keepControlFileIn(mapsetFolder);
    runToAFailedCompiler();

    const std::vector<std::string> lines =
        crlfLines(fileText(mapsetFolder + "\\cpreview-input.txt"));
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
    EXPECT_EQ(shownMessageTexts(), (std::vector<std::string>{"Please name the mapset.",
                                                        "Please name the mapset."}));
}

TEST_F(CreateChecksTest, CustomFolderMustBeAFullPath) {
    const std::string refusal = "Please choose a full folder path, such as C:\\Garmin\\Maps.";
    struct Case {
        std::string typed;
        bool refused;
    };
    const Case cases[] = {
        {"Alps", true},
        {"maps\\Alps", true},
        {".\\Alps", true},
        {"C:Alps", true},          // relative to C:'s current folder
        {"\\Alps", true},         // relative to the current drive
        {"\\\\server", true},     // no share
        {"\\\\server\\", true},
        {"1:\\Alps", true},
        {folder_ + "\\full", false},
        {"c" + folder_.substr(1) + "\\small-drive-letter", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("folder \"" + c.typed + "\"");
        scripted::resetScript();
        openWindowAsNewDoes();
        typeName("Alps");
        chooseCustomFolder(c.typed, "6100");
        addMap("12345678.IMG");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        const std::string current = platform::getCurrentDirectory();
        run();

        ASSERT_EQ(shownMessageTexts().size(), 2u);
        if (c.refused) {
            EXPECT_EQ(shownMessageTexts()[1], refusal);
            EXPECT_EQ(scripted::shownMessages()[1].title, "Create Mapset");
            EXPECT_EQ(scripted::shownMessages()[1].flags, 0x30);
            EXPECT_EQ(platform::getCurrentDirectory(), current) << "no build was started";
        } else {
            EXPECT_EQ(shownMessageTexts()[1], kBuildFailed) << "the build ran";
            EXPECT_TRUE(platform::sameFile(platform::getCurrentDirectory(), c.typed))
                << "in the folder typed";
        }
        EXPECT_FALSE(registryKeyExists(kFamiliesPath + "\\Alps"));
    }
}

TEST_F(CreateChecksTest, MapsetNamedLikeOneOfItsMapsIsRefused) {
    // The compiler's overview map NAME.IMG would overwrite the copy of such a map.
    const std::string refusal =
        "Please use a mapset name that differs from the names of its maps.";
    struct Case {
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {"31415926", true},     {"12ab", true},          {"12AB", true},
        {"27182818", true},     {"3141592", false},      {"31415926.IMG", false},
        {"31415926 West", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("name \"" + c.name + "\"");
        scripted::resetScript();
        openWindowAsNewDoes();
        typeName(c.name);
        addMap("31415926.img");
        addMap("12ab.IMG");
        addMap("27182818");
        pressCreate();
        scripted::answerNextMessage(c.refused ? platform::kAnswerOk : platform::kAnswerNo);
        run();
        EXPECT_EQ(shownMessageTexts(), std::vector<std::string>{c.refused ? refusal : kFinalQuestion});
    }
}

TEST_F(CreateChecksTest, MapsOfOneFileNameAreRefusedBeforeAnythingIsMade) {
    // The copies share one folder, where Windows tells names apart only beyond letter case.
    struct Case {
        std::vector<std::string> maps; // below the test folder's maps
        int first, second;             // the pair named; -1 for none
    };
    const Case cases[] = {
        {{"a\\63240001.img", "b\\63240001.img"}, 0, 1},
        {{"a\\63240001.img", "b\\63240001.IMG"}, 0, 1},
        {{"a\\12345678Ä.img", "b\\12345678ä.img"}, 0, 1},
        {{"a\\63240001.img", "b\\63240002.img", "c\\63240002.img"}, 1, 2},
        {{"a\\63240001.img", "b\\63240002.img", "a\\63240001.img"}, 0, 2},
        {{"a\\63240001.img", "a\\63240010.img"}, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maps.back());
        scripted::resetScript();
        openWindowAsNewDoes();
        typeName("Twins");
        std::vector<std::string> paths;
        for (const std::string& map : c.maps) paths.push_back(addMap(map));
        pressCreate();
        scripted::answerNextMessage(c.first < 0 ? platform::kAnswerNo : platform::kAnswerOk);
        run();
        const std::string expected =
            c.first < 0 ? std::string(kFinalQuestion)
                        : "The maps " + paths[c.first] + " and " + paths[c.second] +
                              " have the same file name; a mapset folder can hold only one of them.";
        EXPECT_EQ(shownMessageTexts(), std::vector<std::string>{expected});
        if (c.first >= 0) {
            EXPECT_EQ(scripted::shownMessages().back().flags, 0x30);
        }
        EXPECT_FALSE(folderExists(autoFolder("Twins"))) << "nothing is made";
    }
}

TEST_F(CreateChecksTest, NamesBeyondTheAnsiCodePageAreRefusedForCgpsmapper) {
    // cpreview.exe and cgpsmapper.exe take the mapset's name in the ANSI code page only.
    const std::pair<std::string, bool> cases[] = {
        {"Österreich Süd", false}, {"Łódź", true}, {"Карты", true}, {"Zürich €", false}};
    for (const auto& [name, refused] : cases) {
        SCOPED_TRACE("name \"" + name + "\"");
        scripted::resetScript();
        openWindowAsNewDoes();
        typeName(name);
        addMap("12345678.img");
        pressCreate();
        scripted::answerNextMessage(refused ? platform::kAnswerOk : platform::kAnswerNo);
        run();
        EXPECT_EQ(shownMessageTexts(),
                  std::vector<std::string>{refused ? name + " has letters that cGPSmapper cannot "
                                                            "take. Please choose another name, or "
                                                            "mkgmap as the compiler."
                                                   : kFinalQuestion});
    }
}

TEST_F(CreateChecksTest, DefaultFolderGetsItsParentsInBothModes) {
    // A machine without C:\Garmin: createDirectory makes one level only.
    struct Case {
        const char* mode;
        const char* name;
        bool custom;
        bool folderTyped; // else the folder field follows the name
    };
    const Case cases[] = {
        {"Auto", "oxlo-test-default-auto", false, false},
        {"Custom, following the name", "oxlo-test-default-custom", true, false},
        {"Custom, typed", "oxlo-test-default-typed", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        platform::setCurrentDirectory(startFolder_); // the last build left its folder current
        std::filesystem::remove_all(hostPath("C:\\Garmin"));
        scripted::resetScript();
        openWindowAsNewDoes();
        typeName(c.name);
        const std::string mapsetFolder = autoFolder(c.name);
        if (c.custom) {
            scripted::queueClick(kCustomToggle, 1);
            if (c.folderTyped) scripted::queueTyping(kFolderField, mapsetFolder);
            scripted::queueTyping(kFamilyIdField, "6100");
        }
        addMap("12345678.IMG");
        pressCreate();
        scripted::answerNextMessage(platform::kAnswerYes);
        scripted::answerNextMessage(platform::kAnswerOk);
        run();
        EXPECT_EQ(shownMessageTexts().back(), kBuildFailed);
        EXPECT_TRUE(platform::sameFile(platform::getCurrentDirectory(), mapsetFolder));
    }
}

} // namespace
} // namespace oxlo::testing
