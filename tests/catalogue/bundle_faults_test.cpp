// Uninstalling a bundle with each file call failing in turn, with and without a Recycle Bin and
// for a bundle folder that is a link: the bundle is either whole where it was, with the failure
// reported, or gone, with success reported; nothing goes for good without the user's Yes, and
// the folder a link points to keeps every file.
#include "catalogue/bundle_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/uninstall.h"
#include "platform/services.h"
#include "platform/portable/fault_injection.h"
#include "support/fault_runs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
using BundleFaults = BundleTest;

std::size_t filesIn(const fs::path& folder)
{
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files += entry.is_regular_file() ? 1 : 0;
    return files;
}

// The Recycle Bin is there again on every way out of a test.
struct RecycleBinBack {
    ~RecycleBinBack() { platform::fault_injection::setRecycleBinUnavailable(false); }
};

TEST_F(BundleFaults, UninstallLeavesTheBundleWholeOrGoneAndDeletesForGoodOnlyAfterYes)
{
    RecycleBinBack binBack;
    const struct {
        const char* what;
        bool recycleBin;
        int deleteForGood; // the answer to the question before deleting for good
        bool link;         // the bundle folder is a symbolic link to one elsewhere
    } cases[] = {
        {"to the Recycle Bin", true, platform::kAnswerYes, false},
        {"no Recycle Bin, deleted after Yes", false, platform::kAnswerYes, false},
        {"no Recycle Bin, kept after No", false, platform::kAnswerNo, false},
        {"a link, no Recycle Bin", false, platform::kAnswerNo, true},
        {"a link, no Recycle Bin, Yes if asked", false, platform::kAnswerYes, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bundle, question, target;
        std::size_t files = 0;
        const auto prepare = [&] {
            SetUp();
            platform::fault_injection::setRecycleBinUnavailable(!c.recycleBin);
            bundle = addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
            question = "The bundle " + bundle + " cannot go to the Recycle Bin. Delete it for good?";
            if (c.link) {
                target = platform::knownFolderPath(platform::KnownFolder::ProgramData) +
                         "\\Linked.gmap";
                fs::remove_all(hostPath(target));
                fs::rename(hostPath(bundle), hostPath(target));
                fs::create_directory_symlink(hostPath(target), hostPath(bundle));
            }
            files = filesIn(hostPath(c.link ? target : bundle));
            catalogue::scanInstalledMapsets();
        };
        const auto answers = [&](const platform::scripted::MessageRecord& message) {
            return message.text == question ? c.deleteForGood : answerYesOrOk(message);
        };
        const auto check = [&](const FaultRun& run) {
            const bool gone = !fs::exists(fs::symlink_status(hostPath(bundle)));
            EXPECT_EQ(wasShown(run, "Uninstall Successful."), gone);
            if (c.link) {
                EXPECT_EQ(filesIn(hostPath(target)), files) << "the link's folder keeps its files";
                if (run.failingCall == 0) {
                    EXPECT_FALSE(wasShown(run, question)) << "a link goes without the Recycle Bin";
                }
            }
            const auto asked = std::find_if(run.messages.begin(), run.messages.end(),
                                            [&](const auto& m) { return m.text == question; });
            if (asked != run.messages.end()) {
                EXPECT_EQ(asked->title, "Uninstall Mapset");
                EXPECT_EQ(asked->flags, 0x34);
                if (c.deleteForGood == platform::kAnswerNo) {
                    EXPECT_TRUE(std::all_of(asked + 1, run.messages.end(), isListWarning))
                        << "No says nothing more";
                }
            }
            if (gone) {
                EXPECT_TRUE(c.recycleBin || c.link || asked != run.messages.end())
                    << "deleted for good without the question";
                return;
            }
            if (c.deleteForGood == platform::kAnswerYes || asked == run.messages.end())
                EXPECT_TRUE(wasShown(run, "The bundle " + bundle + " could not be removed.") ||
                            wasShown(run, "The registered mapsets could not be read, so the "
                                          "bundle " + bundle + " was not removed."));
            // Only a deletion for good that the user agreed to may leave a part of the bundle.
            if (c.recycleBin || c.deleteForGood == platform::kAnswerNo) {
                EXPECT_EQ(filesIn(hostPath(bundle)), files) << "a bundle that stays is whole";
            }
        };
        const FaultRunTotals totals =
            runFailingEachCall(prepare, [] { catalogue::uninstallMapset(1); }, check, answers);
        EXPECT_GE(totals.runs, 1);
        countInjectedRuns("uninstall bundle", totals.runs);
    }
}

} // namespace
} // namespace oxlo::testing
