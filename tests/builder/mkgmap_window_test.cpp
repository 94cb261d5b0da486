// The Create Mapset window with mkgmap: the Compiler list's start and the user's choice, "Find
// mkgmap", Java missing, and a whole build through the window with the stand-in java.exe.
#include "builder_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/create_mapset_window.h"
#include "builder/mkgmap_tools.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_environment.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

using namespace builder;
namespace fs = std::filesystem;
namespace scripted = platform::scripted;

const char* const kJavaMissing =
    "mkgmap needs Java, which was not found. Please install a Java runtime or set JAVA_HOME.";
const char* const kFinalQuestion =
    "Oxlo will proceed to generate a Mapsource mapset. Your Windows registry will be updated. "
    "Proceed?";

class MkgmapWindowTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        cgpsmapper_ = folder_ + "\\cgpsmapper.exe";
        startJar_ = folder_ + "\\mkgmap.jar";
        fs::remove_all(hostPath("C:\\Garmin\\Oxlo\\Alps"));
        besideProgram_ = testProgramFolder() + kMkgmapJar;
        environment_.set("JAVA_HOME", "");
        environment_.set("PATH", "");
        setCatalogue({});
        clearRegisteredMapsets();
        openWindowAsNewDoes();
    }
    void TearDown() override {
        FolderTest::TearDown();
        fs::remove(hostPath(besideProgram_));
        fs::remove_all(hostPath("C:\\Garmin\\Oxlo\\Alps"));
        clearRegisteredMapsets();
    }

    // With `closing`, the user closes the window at the end; a successful build closes it itself.
    void run(bool closing = true) {
        if (closing) scripted::queueClose();
        runCreateMapsetWindow(cgpsmapper_, folder_ + "\\cpreview.exe", startJar_);
        EXPECT_EQ(scripted::pendingSteps(), 0) << "the loop left scripted steps unread";
    }
    // The selected entry of the Compiler list when the loop reaches this step.
    void recordChoice(std::string* choice) {
        scripted::queueAction([choice] { *choice = platform::getControlText(kCompilerList); });
    }
    void addMapAndName() {
        const std::string map = folder_ + "\\maps\\63240001.IMG";
        fs::create_directories(hostPath(folder_ + "\\maps"));
        fs::copy_file(fs::path(OXLO_TEST_DATA) / "village-opaque.img", hostPath(map));
        scripted::chooseNextFiles({map});
        scripted::queueControlEvent(kSelectMapsButton);
        scripted::queueTyping(kNameField, "Alps");
    }
    std::vector<std::string> chooserTitles() const {
        std::vector<std::string> titles;
        for (const auto& chooser : scripted::shownChoosers()) titles.push_back(chooser.title);
        return titles;
    }

    std::string cgpsmapper_, startJar_, besideProgram_;
    EnvironmentScope environment_;
};

TEST_F(MkgmapWindowTest, StartsOnMkgmapOnlyWhenItIsFoundAndCgpsmapperIsNot) {
    const struct {
        const char* what;
        bool cgpsmapper, jarInStartFolder, jarBesideProgram;
        const char* choice;
    } cases[] = {
        {"neither", false, false, false, "cgpsmapper"},
        {"only cgpsmapper", true, false, false, "cgpsmapper"},
        {"both", true, true, true, "cgpsmapper"},
        {"only mkgmap, in the start folder", false, true, false, "mkgmap"},
        {"only mkgmap, beside oxlo.exe", false, false, true, "mkgmap"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted::resetScript();
        openWindowAsNewDoes();
        for (const auto& [path, present] : {std::pair{cgpsmapper_, c.cgpsmapper},
                                            std::pair{startJar_, c.jarInStartFolder},
                                            std::pair{besideProgram_, c.jarBesideProgram}}) {
            fs::remove(hostPath(path));
            if (present) writeFileText(path, "tool");
        }
        std::string choice;
        recordChoice(&choice);
        run();
        EXPECT_EQ(choice, c.choice);
    }
}

TEST_F(MkgmapWindowTest, ChosenMkgmapBuildsWithJavaFromThePathAndNeverAsksForCgpsmapper) {
    const MkgmapRuntime& runtime = standInMkgmapRuntime();
    fs::copy_file(hostPath(runtime.jar), hostPath(startJar_));
    writeFileText(cgpsmapper_, "tool"); // so the list starts on cgpsmapper
    environment_.set("PATH", folder_ + "\\no java;" + runtime.javaHome + "\\bin");
    std::string before, after;
    recordChoice(&before);
    scripted::queueSelectRow(kCompilerList, 1);
    addMapAndName();
    recordChoice(&after);
    // A build with cgpsmapper would now ask for it.
    scripted::queueAction([&] { fs::remove(hostPath(cgpsmapper_)); });
    scripted::queueControlEvent(kCreateButton);
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk);
    run(false);

    EXPECT_EQ(before, "cgpsmapper");
    EXPECT_EQ(after, "mkgmap") << "the choice lasts while the window is open";
    EXPECT_TRUE(chooserTitles() == std::vector<std::string>{"Select Maps"})
        << "no chooser for cgpsmapper.exe, cpreview.exe or mkgmap.jar";
    EXPECT_EQ(shownMessageTexts(), (std::vector<std::string>{kFinalQuestion, "Mapset Created."}));
    const std::string key = kFamiliesPath + "\\Alps";
    EXPECT_EQ(readRawValue(key, "IDX").type, platform::kRegSz) << "built with mkgmap";
    EXPECT_TRUE(fileExists("C:\\Garmin\\Oxlo\\Alps\\standin-java-arguments.txt"));
    EXPECT_FALSE(fileExists("C:\\Garmin\\Oxlo\\Alps\\Oxlo.txt"));
}

TEST_F(MkgmapWindowTest, FindMkgmapWhenItIsNowhereAndNoBuildWithoutJava) {
    const std::string located = folder_ + "\\tools\\mkgmap.jar";
    writeFileText(located, "jar");
    scripted::queueSelectRow(kCompilerList, 1);
    addMapAndName();
    // Cancelled: the attempt ends without a word.
    scripted::queueControlEvent(kCreateButton);
    scripted::chooseNextFiles({});
    // Located, but there is no Java; the next attempt needs no chooser.
    scripted::queueControlEvent(kCreateButton);
    scripted::chooseNextFiles({located});
    scripted::answerNextMessage(platform::kAnswerOk);
    scripted::queueControlEvent(kCreateButton);
    scripted::answerNextMessage(platform::kAnswerOk);
    run();

    EXPECT_EQ(chooserTitles(),
              (std::vector<std::string>{"Select Maps", "Find mkgmap", "Find mkgmap"}));
    EXPECT_EQ(textsAndFlags("Create Mapset"), (Shown{{kJavaMissing, 0x30}, {kJavaMissing, 0x30}}))
        << "no final question and no build";
    EXPECT_FALSE(folderExists("C:\\Garmin\\Oxlo\\Alps"));
    EXPECT_FALSE(registryKeyExists(kFamiliesPath + "\\Alps"));
}

} // namespace
} // namespace oxlo::testing
