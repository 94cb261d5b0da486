// install, export, create, attr and the bundles through oxlo.com's commands, with the mapsets
// mkgmap made (tests/data), the stand-in cgpsmapper and the real mkgmap.
#include "cli_fixture.h"

#include "../builder/mkgmap_runtime.h"
#include "mapfile/typ_file.h"
#include "mapfile/map_file.h"
#include "platform/portable/fault_injection.h"
#include "support/file_bytes.h"
#include "support/test_environment.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, ChangingCommandsNeedAdministratorRightsBeforeAnything) {
    platform::setAdministrator(false);
    const std::string dales = ready("Dales");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"install", dales, "--yes"}, {"uninstall", "Dales", "--yes"},
          {"create", "X", "a.img", "--yes"}}) {
        SCOPED_TRACE(arguments.front());
        EXPECT_EQ(run(arguments), cli::kExitElevationRequired);
        EXPECT_EQ(err, "oxlo: this command changes mapsets for all users; run it from a command "
                       "prompt started as administrator.\n");
    }
    EXPECT_FALSE(keyExists(kFamilies + "\\Dales"));
}

TEST_F(CliTest, InstallAsksForYesAndStampsTheTypOnlyWhenTold) {
    const struct {
        std::vector<std::string> options;
        int status;
        std::string line;     // on standard error
        std::uint16_t typFid; // of dales.typ afterwards (mkgmap made it for 6099)
        std::string end = ""; // after the folder: \" is how Windows passes a quoted "%~dp0"
    } cases[] = {
        {{}, 1, "Install mapset Dales (family ID 6006) from FOLDER? (answer with --yes)", 6099},
        {{"--yes"}, 0, "Mapset Installed.", 6099, "\\\""},
        {{"--yes", "--stamp-typ"}, 0, "Mapset Installed.", 6006},
        {{"--stamp-typ"}, 1,
         "Install mapset Dales (family ID 6006) from FOLDER? (answer with --yes)", 6099},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        SetUp();
        const std::string dales = ready("Dales");
        std::vector<std::string> arguments{"install", dales + c.end};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(run(arguments), c.status);
        std::string line = c.line;
        if (const auto at = line.find("FOLDER"); at != std::string::npos)
            line.replace(at, 6, dales);
        EXPECT_TRUE(errSays(line)) << err;
        EXPECT_EQ(keyExists(kFamilies + "\\Dales"), c.status == 0);
        EXPECT_EQ(mapfile::readHeaderWord(dales + "\\dales.typ", mapfile::kTypFamilyIdPosition),
                  c.typFid);
    }
    // Given the .TDB (relative to the current folder) instead of the folder; a folder without
    // one is refused by the install's own check.
    const std::string hills = ready("Hills");
    ASSERT_NE(platform::setCurrentDirectory(hills), 0);
    EXPECT_EQ(run({"install", "Hills.tdb", "--yes"}), 0) << err;
    EXPECT_TRUE(keyExists(kFamilies + "\\Hills"));
    EXPECT_EQ(run({"install", folder_, "--yes"}), 1);
    EXPECT_EQ(err, "oxlo: " + folder_ + " is not a mapset index file.\n");
    // A folder of two indexes names them, and the install stops.
    ASSERT_TRUE(platform::copyFile(hills + "\\Hills.tdb", hills + "\\Copy.tdb"));
    EXPECT_EQ(run({"install", hills + "\\", "--yes"}), 1);
    EXPECT_EQ(err, "oxlo: " + hills +
                       " holds several mapset index files: Copy.tdb, Hills.tdb. Please choose "
                       "one.\n");
}

TEST_F(CliTest, BundlesAreListedCheckedAndUninstalledByKeyNameOrCode) {
    const std::string bundle = addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
    const std::string unreadable = "<nope";
    addBundle(platform::KnownFolder::RoamingAppData, "Broken.gmap", &unreadable);
    ASSERT_EQ(run({"list", "--json"}), 0) << err;
    const auto list = nlohmann::json::parse(out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["kind"], "bundle");
    EXPECT_EQ(list[0]["key"], "Maps\\Test Fam.gmap");
    EXPECT_EQ(list[0]["code"], "GMAP4711");
    EXPECT_EQ(list[0]["folder"], bundle);
    EXPECT_TRUE(list[0]["problems"].empty());
    EXPECT_EQ(run({"check", "Maps\\Broken.gmap"}), 1);
    EXPECT_EQ(out.rfind("Maps\\Broken.gmap: ", 0), 0u) << out;
    EXPECT_EQ(run({"check", "Test Fam"}), 0) << out;

    EXPECT_EQ(run({"uninstall", "GMAP4711"}), 1);
    EXPECT_TRUE(errSays("Proceed to uninstall mapset 'Maps\\Test Fam.gmap' ? (answer with --yes)"));
    EXPECT_TRUE(fs::exists(hostPath(bundle)));
    // Without a Recycle Bin the console deletes nothing for good, --yes or not.
    platform::fault_injection::setRecycleBinUnavailable(true);
    const int noBin = run({"uninstall", "GMAP4711", "--yes"});
    platform::fault_injection::setRecycleBinUnavailable(false);
    EXPECT_EQ(noBin, 1);
    EXPECT_TRUE(errSays("The bundle " + bundle +
                        " cannot go to the Recycle Bin. Delete it for good?")) << err;
    EXPECT_TRUE(fs::exists(hostPath(bundle + "\\Info.xml")));
    EXPECT_EQ(run({"uninstall", "GMAP4711", "--yes"}), 0) << err;
    EXPECT_TRUE(errSays("Uninstall Successful."));
    EXPECT_FALSE(fs::exists(hostPath(bundle)));
}

TEST_F(CliTest, ExportRunsMkgmapWithItsLinesOnStandardError) {
    if (!fs::exists(OXLO_MKGMAP_JAR))
        GTEST_SKIP() << OXLO_MKGMAP_JAR << " is missing: install mkgmap";
    const std::string hills = ready("Hills");
    ASSERT_EQ(run({"install", hills, "--yes"}), 0) << err;
    addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
    const std::string out_ = folder_ + "\\Out";
    fs::create_directories(hostPath(out_));

    EXPECT_EQ(run({"export", "Hills", out_}), 1) << "no mkgmap.jar in the current folder";
    EXPECT_EQ(err, "oxlo: mkgmap.jar was found neither in the current folder nor beside "
                   "oxlo.com.\n");
    EnvironmentScope environment;
    environment.set("JAVA_HOME", mkgmapRuntime().javaHome);
    const std::string& jar = mkgmapRuntime().jar;
    ASSERT_NE(platform::setCurrentDirectory(jar.substr(0, jar.rfind('\\'))), 0);
    EXPECT_EQ(run({"export", "GMAP4711", out_}), 1);
    EXPECT_EQ(err, "oxlo: Maps\\Test Fam.gmap is a BaseCamp bundle already.\n");

    ASSERT_EQ(run({"export", "Hills", out_}), 0) << err;
    EXPECT_EQ(out, out_ + "\\Hills.gmap\n");
    EXPECT_TRUE(fs::exists(hostPath(out_ + "\\Hills.gmap\\Info.xml")));
    EXPECT_EQ(err.rfind("Mkgmap version ", 0), 0u) << "mkgmap's lines come first: " << err;
    EXPECT_TRUE(errSays("The BaseCamp bundle " + out_ +
                        "\\Hills.gmap is ready. Copy it into Garmin\\Maps on the computer that "
                        "should show it."));
    EXPECT_EQ(run({"export", "Hills", out_}), 1) << "a bundle there asks first";
    EXPECT_TRUE(errSays("A BaseCamp bundle Hills.gmap exists in " + out_ +
                        ". Replace it? The old one goes to the Recycle Bin. (answer with --yes)"));
    // Replacing it where the old one cannot be recycled keeps the old one.
    std::ofstream(hostPath(out_ + "\\Hills.gmap\\old.txt")) << "old";
    platform::fault_injection::setRecycleBinUnavailable(true);
    const int noBin = run({"export", "Hills", out_, "--yes"});
    platform::fault_injection::setRecycleBinUnavailable(false);
    EXPECT_EQ(noBin, 1);
    EXPECT_TRUE(errSays("The bundle " + out_ +
                        "\\Hills.gmap cannot go to the Recycle Bin. Delete it for good?")) << err;
    EXPECT_TRUE(fs::exists(hostPath(out_ + "\\Hills.gmap\\old.txt")));
    EXPECT_EQ(std::distance(fs::directory_iterator(hostPath(out_)), fs::directory_iterator()), 1);
}

TEST_F(CliTest, GmapsuppSavesSeveralMapsetsWithoutAdministratorRightsAndAsksBeforeReplacing) {
    ASSERT_EQ(run({"install", ready("Hills"), "--yes"}), 0) << err;
    ASSERT_EQ(run({"install", ready("Oesterreich"), "--yes"}), 0) << err;
    addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
    const std::string file = folder_ + "\\gmapsupp.img";
    EnvironmentScope environment;
    environment.set("JAVA_HOME", standInMkgmapRuntime().javaHome);
    const std::string& jar = standInMkgmapRuntime().jar;
    ASSERT_NE(platform::setCurrentDirectory(jar.substr(0, jar.rfind('\\'))), 0);
    platform::setAdministrator(false);

    EXPECT_EQ(run({"gmapsupp", file, "Hills", "GMAP4711"}), 1);
    EXPECT_EQ(err, "oxlo: Maps\\Test Fam.gmap is a BaseCamp bundle, which Save for GPS does not "
                   "take.\n");
    EXPECT_EQ(run({"gmapsupp", file, "Hills", "Hills"}), 1);
    EXPECT_TRUE(errSays("Mapsets Hills and Hills both have the map 63250001.img; a GPS shows only "
                        "one of them. Save them in two files, or change one of them."));
    EXPECT_FALSE(fs::exists(hostPath(file)));

    ASSERT_EQ(run({"gmapsupp", file, "Hills", "FID6008"}), 0) << err;
    EXPECT_EQ(out, file + "\n");
    EXPECT_TRUE(errSays("The GPS map " + file + " is ready: mapsets Hills, Österreich, 3 "
                        "maps. It goes into the Garmin folder of the device or of its memory "
                        "card.")) << err;
    const std::string recorded = readWholeWindowsFile(jar.substr(0, jar.rfind('\\')) +
                                                      "\\standin-java-arguments.txt")
                                     .value_or("");
    EXPECT_NE(recorded.find("--gmapsupp\n--index\n"), std::string::npos)
        << "Hills has an address index: " << recorded;
    const auto size = fs::file_size(hostPath(file));
    EXPECT_EQ(run({"gmapsupp", file, "FID6008"}), 1);
    EXPECT_TRUE(errSays("A file " + file + " exists. Replace it? The old one goes to the Recycle "
                        "Bin. (answer with --yes)")) << err;
    EXPECT_EQ(fs::file_size(hostPath(file)), size);
    EXPECT_EQ(run({"gmapsupp", file, "FID6008", "--yes"}), 0) << err;
    EXPECT_LT(fs::file_size(hostPath(file)), size);
}

TEST_F(CliTest, CreateBuildsWithTheStandInsAndAttrShowsAndChangesMaps) {
    const std::string tools = standInProgram("cgpsmapper");
    standInProgram("cpreview");
    const std::string map = folder_ + "\\12345678.img";
    fs::copy_file(fs::path(OXLO_TEST_DATA) / "village-opaque.img", hostPath(map));
    ASSERT_NE(platform::setCurrentDirectory(tools.substr(0, tools.rfind('\\') + 1)), 0);
    const std::vector<std::string> create{"create", "Alps", map, "--folder", folder_ + "\\Alps",
                                          "--family-id", "6001"};
    EXPECT_EQ(run(create), 1);
    EXPECT_TRUE(errSays("Oxlo will proceed to generate a Mapsource mapset. Your Windows registry "
                        "will be updated. Proceed? (answer with --yes)")) << err;
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    auto yes = create;
    yes.push_back("--yes");
    ASSERT_EQ(run(yes), 0) << err;
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps"));
    EXPECT_NE(err.find("Copying 1 of 1: 12345678.img\n"), std::string::npos) << err;

    const std::string transparent = folder_ + "\\transparent.img";
    fs::copy_file(fs::path(OXLO_TEST_DATA) / "village-transparent.img", hostPath(transparent));
    EXPECT_EQ(run({"attr", map, transparent}), 0) << err;
    EXPECT_NE(out.find(map + ": priority "), std::string::npos) << out;
    EXPECT_NE(out.find(", transparent no\n" + transparent + ": priority "), std::string::npos)
        << out;
    EXPECT_EQ(out.substr(out.size() - 16), "transparent yes\n");
    EXPECT_EQ(run({"attr", map, "--priority", "40", "--transparent", "yes"}), 1);
    EXPECT_NE(err.find("Update 12345678.img? (answer with --yes)"), std::string::npos) << err;
    EXPECT_EQ(run({"attr", map, "--priority", "40", "--transparent", "yes", "--yes"}), 0) << err;
    EXPECT_EQ(run({"attr", map}), 0);
    EXPECT_EQ(out, map + ": priority 31, transparent yes\n") << "clamped to 31, as the panel does";
}

} // namespace
} // namespace oxlo::testing
