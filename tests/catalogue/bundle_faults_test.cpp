// Uninstalling a bundle with each file call failing in turn: the bundle is either whole where it
// was, with the failure reported, or gone, with success reported.
#include "catalogue/bundle_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/uninstall.h"
#include "support/fault_runs.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using BundleFaults = BundleTest;

TEST_F(BundleFaults, UninstallLeavesTheBundleWholeOrGone)
{
    std::string bundle;
    std::size_t files = 0;
    const auto prepare = [&] {
        SetUp();
        bundle = addBundle(platform::KnownFolder::ProgramData, "Test Fam.gmap");
        files = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(hostPath(bundle)))
            files += entry.is_regular_file() ? 1 : 0;
        catalogue::scanInstalledMapsets();
    };
    const auto check = [&](const FaultRun& run) {
        const bool gone = !std::filesystem::exists(hostPath(bundle));
        EXPECT_EQ(wasShown(run, "Uninstall Successful."), gone);
        if (gone) return;
        EXPECT_TRUE(wasShown(run, "The bundle " + bundle + " could not be removed."));
        std::size_t left = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(hostPath(bundle)))
            left += entry.is_regular_file() ? 1 : 0;
        EXPECT_EQ(left, files) << "a bundle that stays is whole";
    };
    const FaultRunTotals totals =
        runFailingEachCall(prepare, [] { catalogue::uninstallMapset(1); }, check);
    EXPECT_GE(totals.runs, 1);
    countInjectedRuns("uninstall bundle", totals.runs);
}

} // namespace
} // namespace oxlo::testing
