// oxlo move on mkgmap's Hills, installed by oxlo install: the rights, the question and --yes, the
// progress lines and the refusals, with the window's texts.
#include "cli_fixture.h"

#include "platform/portable/portable_console.h"

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, MoveAsksForRightsAndYesThenMovesWithProgressLines) {
    const std::string hills = ready("Hills");
    ASSERT_EQ(run({"install", hills, "--yes"}), 0) << err;
    const std::string files = kFamilies + "\\Hills\\" + subkeyNames(kFamilies + "\\Hills").at(0);
    const std::string target = folder_ + "\\Target";
    const std::string moved = target + "\\Hills";
    fs::create_directories(hostPath(target));

    platform::setAdministrator(false);
    EXPECT_EQ(run({"move", "Hills", target, "--yes"}), cli::kExitElevationRequired);
    EXPECT_EQ(err, "oxlo: this command changes mapsets for all users; run it from a command "
                   "prompt started as administrator.\n");
    platform::setAdministrator(true);

    const std::string question = "Move mapset Hills from " + hills + " to " + moved +
                                 "? Its files are copied, checked, and then go from " + hills +
                                 " to the Recycle Bin.";
    EXPECT_EQ(run({"move", "Hills", target}), cli::kExitFailed);
    EXPECT_EQ(err, "oxlo: " + question + " (answer with --yes)\n");
    EXPECT_EQ(textValue(files, "LOC"), hills);

    // Relative to the current folder, as the other commands take paths.
    ASSERT_NE(platform::setCurrentDirectory(folder_), 0);
    EXPECT_EQ(run({"move", "FID6005", "Target", "--yes"}), cli::kExitDone) << err;
    EXPECT_NE(err.find("Moving Hills: 1 of 7 files\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Moving Hills: 7 of 7 files\n"), std::string::npos) << err;
    EXPECT_TRUE(errSays("Mapset Hills moved to " + moved + ".")) << err;
    EXPECT_EQ(textValue(files, "LOC"), moved);
    EXPECT_TRUE(fs::exists(hostPath(moved + "\\63250002.img")));
    EXPECT_FALSE(fs::exists(hostPath(hills)));

    // Refusals are the window's, on standard error, with status 1.
    EXPECT_EQ(run({"move", "Hills", target, "--yes"}), cli::kExitFailed);
    EXPECT_EQ(err, "oxlo: Mapset Hills is in " + moved + " already.\n");
    EXPECT_EQ(run({"move", "Hills", folder_ + "\\Nowhere", "--yes"}), cli::kExitFailed);
    EXPECT_EQ(err, "oxlo: The folder " + folder_ + "\\Nowhere does not exist.\n");
    EXPECT_EQ(run({"move", "Nothing", target, "--yes"}), cli::kExitFailed);
    EXPECT_EQ(textValue(files, "LOC"), moved);
}

} // namespace
} // namespace oxlo::testing
