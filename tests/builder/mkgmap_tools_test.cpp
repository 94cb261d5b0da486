// Where a build with mkgmap finds mkgmap.jar and java.exe, the command line it gives them, and
// the earlier build's files kept aside while the compiler runs.
#include "builder_test_support.h"

#include "builder/earlier_outputs.h"
#include "builder/mkgmap_build.h"
#include "builder/mkgmap_tools.h"
#include "platform/services.h"
#include "support/test_environment.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

using namespace builder;

class MkgmapTools : public FolderTest {
protected:
    void TearDown() override {
        FolderTest::TearDown();
        if (!besideProgram_.empty()) std::filesystem::remove_all(hostPath(besideProgram_));
    }
    std::string file(const std::string& relative) {
        const std::string path = folder_ + "\\" + relative;
        writeFileText(path, "x");
        return path;
    }
    std::string besideProgram_; // mkgmap.jar put beside the program, removed afterwards
    EnvironmentScope environment_;
};

TEST_F(MkgmapTools, MkgmapJarFromTheStartFolderThenBesideTheProgram) {
    const std::string startJar = folder_ + "\\start\\mkgmap.jar";
    std::filesystem::create_directories(hostPath(folder_ + "\\start"));
    const std::string programFolder = testProgramFolder();
    besideProgram_ = programFolder + kMkgmapJar;
    ASSERT_NE(startJar, besideProgram_);

    EXPECT_EQ(foundMkgmapJar(startJar), "") << "in neither folder";
    std::filesystem::create_directories(hostPath(besideProgram_));
    EXPECT_EQ(foundMkgmapJar(startJar), "") << "a folder named mkgmap.jar is no jar";
    std::filesystem::remove(hostPath(besideProgram_));
    writeFileText(besideProgram_, "jar");
    EXPECT_EQ(foundMkgmapJar(startJar), besideProgram_);
    writeFileText(startJar, "jar");
    EXPECT_EQ(foundMkgmapJar(startJar), startJar) << "the start folder comes first";
}

TEST_F(MkgmapTools, FindMkgmapAsksWithItsOwnTitleAndPattern) {
    platform::scripted::chooseNextFiles({"D:\\Tools\\mkgmap-r4905\\mkgmap.jar"});
    platform::scripted::chooseNextFiles({});
    EXPECT_EQ(askForMkgmapJar(), "D:\\Tools\\mkgmap-r4905\\mkgmap.jar");
    EXPECT_EQ(askForMkgmapJar(), "") << "cancelled";
    const auto choosers = platform::scripted::shownChoosers();
    ASSERT_EQ(choosers.size(), 2u);
    EXPECT_EQ(choosers[0].title, "Find mkgmap");
    EXPECT_EQ(choosers[0].defaultFile, "mkgmap.jar");
    EXPECT_EQ(choosers[0].pattern, "mkgmap|mkgmap.jar");
    EXPECT_EQ(choosers[0].patternPosition, 0);
    EXPECT_EQ(choosers[0].multiple, 0);
}

TEST_F(MkgmapTools, JavaFromJavaHomeThenFromEachFolderOfPath) {
    const std::string home = folder_ + "\\jre";
    const std::string homeJava = file("jre\\bin\\java.exe");
    const std::string first = file("first\\java.exe");
    file("second folder\\java.exe");
    std::filesystem::create_directories(hostPath(folder_ + "\\no java"));
    std::filesystem::create_directories(hostPath(folder_ + "\\folder\\java.exe"));
    const std::string path = folder_ + "\\no java;;" + folder_ + "\\folder;\"" + folder_ +
                             "\\first\\\";" + folder_ + "\\second folder";
    const struct {
        const char* what;
        std::string javaHome, path, found;
    } cases[] = {
        {"JAVA_HOME", home, path, homeJava},
        {"JAVA_HOME with a final backslash", home + "\\", "", homeJava},
        {"JAVA_HOME in quotes", "\"" + home + "\"", "", homeJava},
        {"JAVA_HOME without java.exe", folder_ + "\\no java", path, first},
        {"PATH only, quoted folder with a backslash", "", path, first},
        {"a semicolon inside quotes", "", "\"" + folder_ + "\\a;b\";" + folder_ + "\\second folder",
         folder_ + "\\a;b\\java.exe"},
        {"none", "", folder_ + "\\no java;" + folder_ + "\\folder", ""},
        {"nothing set", "", "", ""},
    };
    file("a;b\\java.exe");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        environment_.set("JAVA_HOME", c.javaHome);
        environment_.set("PATH", c.path);
        EXPECT_EQ(foundJava(), c.found);
    }
}

TEST(MkgmapCommandLine, EveryOptionAndEachMapCopyInListOrder) {
    MapsetBuildRequest request;
    request.name = "My Alps";
    request.folder = "C:\\Garmin\\Oxlo\\My Alps";
    request.familyId = 6001;
    request.maps = {"D:\\Maps\\87654321.IMG", "C:\\Garmin\\Oxlo\\My Alps\\12345678.img"};
    EXPECT_EQ(mkgmapParameters("C:\\Program Files\\mkgmap\\mkgmap.jar", request,
                               "C:\\Garmin\\Oxlo\\My Alps\\My Alps.mkgmap-args"),
              "-Dfile.encoding=UTF-8 -jar \"C:\\Program Files\\mkgmap\\mkgmap.jar\" "
              "--output-dir=\"C:\\Garmin\\Oxlo\\My Alps\" --family-id=6001 --product-id=1 "
              "--family-name=\"My Alps\" --series-name=\"My Alps\" --area-name=\"My Alps\" "
              "--overview-mapname=\"My Alps\" --overview-mapnumber=60010000 --tdbfile --index "
              "-c \"C:\\Garmin\\Oxlo\\My Alps\\My Alps.mkgmap-args\"");
    EXPECT_EQ(bundleParameters("C:\\mkgmap\\mkgmap.jar", "D:\\Out\\~oxlo1", 4711, "Test Fam",
                               "D:\\Out\\~oxlo1\\maps.args"),
              "-Dfile.encoding=UTF-8 -jar \"C:\\mkgmap\\mkgmap.jar\" --output-dir=\"D:\\Out\\~oxlo1\" "
              "--gmapi --family-id=4711 --product-id=1 --family-name=\"Test Fam\" "
              "--series-name=\"Test Fam\" --overview-mapname=\"Test Fam\" --index "
              "-c \"D:\\Out\\~oxlo1\\maps.args\"");
    EXPECT_EQ(mkgmapArgumentLines(request),
              (std::vector<std::string>{"input-file: 87654321.IMG", "input-file: 12345678.img"}));
    for (const auto& [familyId, number] :
         std::vector<std::pair<std::int32_t, std::int32_t>>{{6000, 60000000}, {7000, 70000000}}) {
        SCOPED_TRACE(familyId);
        EXPECT_EQ(overviewMapNumber(familyId), number) << "eight digits";
    }
}

TEST(MkgmapCommandLine, ArgumentsAreQuotedAsWindowsProgramsSplitThem) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Maps\\Alps", "\"C:\\Maps\\Alps\""},
        {"C:\\Maps\\", "\"C:\\Maps\\\\\""},      // the final backslash must not escape the quote
        {"C:\\", "\"C:\\\\\""},
        {"a\\\\b", "\"a\\\\b\""},                 // backslashes inside stay as they are
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},             // a backslash before a quote is doubled
        {"", "\"\""},
    };
    for (const auto& [text, quoted] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(quotedArgument(text), quoted);
    }
}

class EarlierOutputsTest : public MkgmapTools {};

TEST_F(EarlierOutputsTest, AsideWhileTheBuildRunsBackOnFailureKeptAsCopiesOnSuccess) {
    const std::string index = folder_ + "\\Alps.TDB";
    const std::string overview = folder_ + "\\Alps.IMG";
    const std::string search = folder_ + "\\Alps.mdx";
    const std::string map = folder_ + "\\12345678.IMG";
    const std::string control = folder_ + "\\Oxlo.txt";
    writeFileText(index, "earlier index");
    writeFileText(overview, "earlier overview");
    writeFileText(overview + ".bak", "oldest overview");
    writeFileText(map, "the map");
    const auto guardAll = [&](EarlierOutputs& outputs) {
        for (const std::string& file : {index, overview, search, map})
            ASSERT_TRUE(outputs.guard(file));
        ASSERT_TRUE(outputs.guard(control, true));
    };
    const std::size_t files = platform::listFiles(folder_, "*").size();

    for (const bool controlThere : {false, true}) {
        SCOPED_TRACE(controlThere ? "an earlier control file" : "no control file");
        if (controlThere) writeFileText(control, "earlier control file");
        EarlierOutputs failed;
        guardAll(failed);
        EXPECT_FALSE(fileExists(index));
        EXPECT_FALSE(fileExists(overview));
        writeFileText(overview, "half of a failed build"); // the compiler left three files
        writeFileText(search, "new search index");
        writeFileText(control, "the tools' input");
        failed.putBack();
        EXPECT_EQ(fileText(index), "earlier index");
        EXPECT_EQ(fileText(overview), "earlier overview");
        EXPECT_FALSE(fileExists(search)) << "written by the failed build under a free name";
        if (controlThere)
            EXPECT_EQ(fileText(control), "earlier control file") << "a scratch name is put back";
        else
            EXPECT_FALSE(fileExists(control)) << "a failure leaves no new file";
        EXPECT_EQ(platform::listFiles(folder_, "*").size(), files + controlThere)
            << "no file kept aside is left";
    }

    EarlierOutputs succeeded;
    guardAll(succeeded);
    for (const std::string& file : {index, overview, control}) writeFileText(file, "new");
    writeFileText(map, "the map"); // copied again, the same bytes
    succeeded.discard();
    EXPECT_EQ(fileText(index), "new");
    EXPECT_EQ(fileText(index + ".bak"), "earlier index") << "replaced, so kept as a copy";
    EXPECT_EQ(fileText(overview), "new");
    EXPECT_EQ(fileText(overview + ".bak"), "oldest overview") << "the oldest copy stays";
    EXPECT_FALSE(fileExists(map + ".bak")) << "written unchanged, so no copy";
    EXPECT_EQ(fileText(control), "earlier control file") << "a tool's working file goes again";
    EXPECT_EQ(platform::listFiles(folder_, "*").size(), files + 2) << "no file kept aside is left";
}

TEST_F(EarlierOutputsTest, AFileThatCannotBeMovedAsideIsNeitherWrittenNorRemoved) {
    const std::string index = folder_ + "\\Alps.TDB";
    const std::string overview = folder_ + "\\Alps.IMG";
    writeFileText(index, "earlier index");
    writeFileText(overview, "earlier overview");
    EarlierOutputs outputs;
    {
        WriteBlock block(overview); // held open elsewhere, or read-only
        EXPECT_TRUE(outputs.guard(index));
        EXPECT_FALSE(outputs.guard(overview));
    }
    EXPECT_EQ(outputs.blocked(), overview);
    outputs.putBack();
    EXPECT_EQ(fileText(index), "earlier index");
    EXPECT_EQ(fileText(overview), "earlier overview");
}

} // namespace
} // namespace oxlo::testing
