// Move Mapset with each of its registry and file calls failing in turn, and with a drive that has
// too little room: the mapset stays whole and registered in exactly one place, and success is
// said only for a whole move.
#include "catalogue/move_fixture.h"

#include "catalogue/mapset_move.h"
#include "platform/portable/portable_environment.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/fault_runs.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace fs = std::filesystem;

class MoveFaults : public MoveTest {};

TEST_F(MoveFaults, EveryFailureLeavesTheMapsetWholeInOneFolder)
{
    const auto prepare = [&] { SetUp(); };
    const auto check = [&](const FaultRun& run) {
        const std::optional<std::string> loc = textValue(kFamilies + "\\Hills\\1", "LOC");
        ASSERT_TRUE(loc == hills_ || loc == moved_) << loc.value_or("no LOC");
        EXPECT_EQ(entryPaths(), pathsIn(*loc)) << "every path in that one folder";
        expectFilesOf(*loc, hillsFiles());
        EXPECT_EQ(textValue(kUninstallEntry, "InstallLocation"), *loc) << "rewritten with it";
        const std::string success = "Mapset Hills moved to " + moved_ + ".";
        const bool warned = warnedOfFailure(run);
        EXPECT_FALSE(warned && wasShown(run, success)) << "no success after a failure";
        EXPECT_TRUE(warned || wasShown(run, success)) << "a failure says so";
        EXPECT_TRUE(run.failingCall != 0 || wasShown(run, success)) << "the clean run moves it";
        if (wasShown(run, success)) {
            for (const std::string& name : hillsFiles())
                EXPECT_FALSE(fs::exists(hostPath(hills_ + "\\" + name))) << name;
        }
        if (*loc == hills_) {
            expectFilesOf(hills_, hillsFiles()); // nothing taken before the entry moved
            EXPECT_TRUE(copies().size() <= 1u);
        } else {
            EXPECT_EQ(copies().size(), 1u) << "rewritten only after the copy";
        }
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [&] { catalogue::moveMapsetTo(1, target_, {}); }, check);
    EXPECT_GT(totals.runs, 40);
    countInjectedRuns("move mapset", totals.runs);
}

TEST_F(MoveFaults, AnOldFileThatCannotGoIsNamedAndTheMoveStands)
{
    const WriteBlock readOnly(hills_ + "\\63250002.img");
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_TRUE(catalogue::moveMapsetTo(1, target_, {}));
    ASSERT_EQ(scripted::shownMessages().size(), 2u);
    EXPECT_EQ(scripted::shownMessages()[1].text,
              "Mapset Hills is now in " + moved_ + ", but these of its old files are still in " +
                  hills_ + ": 63250002.img.");
    EXPECT_EQ(scripted::shownMessages()[1].flags, kMessageWarning);
    EXPECT_EQ(entryPaths(), pathsIn(moved_));
    expectFilesOf(moved_, hillsFiles());
    EXPECT_FALSE(fs::exists(hostPath(hills_ + "\\Hills.tdb")));
}

TEST_F(MoveFaults, RefusesADriveWithLessRoomThanTheFiles)
{
    std::int64_t needed = 0;
    for (const std::string& name : hillsFiles())
        needed += static_cast<std::int64_t>(fs::file_size(hostPath(hills_ + "\\" + name)));
    const struct {
        std::int64_t free;
        std::string first; // the first message
    } cases[] = {
        {needed - 1, "C:\\ has 0 MB free; mapset Hills needs 1 MB."},
        {needed, "Move mapset Hills from " + hills_ + " to " + moved_ +
                     "? Its files are copied, checked, and then go from " + hills_ +
                     " to the Recycle Bin."},
        {3 * 1024 * 1024 + 5, "C:\\ has 3 MB free; mapset Hills needs 4 MB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.free);
        scripted::resetScript();
        SetUp();
        if (c.free > needed) { // a mapset of 4 MB less 10 bytes: one of its maps grows
            const fs::path map = hostPath(hills_ + "\\63250001.img");
            fs::resize_file(map, fs::file_size(map) + 4 * 1024 * 1024 - 10 - needed);
        }
        capFreeDiskSpace(c.free);
        scripted::answerUnqueuedMessages(
            [](const scripted::MessageRecord& box) {
                return (box.flags & 0x0F) == 0x04 ? kAnswerNo : kAnswerOk;
            });
        EXPECT_FALSE(catalogue::moveMapsetTo(1, target_, {}));
        capFreeDiskSpace(-1);
        ASSERT_FALSE(scripted::shownMessages().empty());
        EXPECT_EQ(scripted::shownMessages()[0].text, c.first);
        EXPECT_FALSE(fs::exists(hostPath(moved_)));
    }
}

} // namespace
} // namespace oxlo::testing
