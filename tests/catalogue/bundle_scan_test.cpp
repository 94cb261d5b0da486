// The bundle rows of the scan: after the registry's rows, all users' bundles before one user's,
// each in name order, within the table's 100 rows.
#include "catalogue/bundle_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using catalogue::installedMapsets;
using catalogue::scanInstalledMapsets;
using platform::KnownFolder;
using Rows = std::vector<std::string>;

using BundleScan = BundleTest;

TEST_F(BundleScan, BundlesFollowTheRegistryRowsAllUsersFirstInNameOrder)
{
    addFamily("Alps", platform::kRegBinary, {0x71, 0x17}, folder_, makeTdb("Alps.TDB", 1));
    const std::string broken = "<MapProduct>";
    const std::string unnamed = infoOf("", 77);
    addBundle(KnownFolder::RoamingAppData, "Mine.gmap", &unnamed);
    addBundle(KnownFolder::ProgramData, "zeta.gmap");
    addBundle(KnownFolder::ProgramData, "Broken.gmap", &broken);
    const std::string shared = addBundle(KnownFolder::ProgramData, "Alpha.gmap");
    // Not bundles: a folder without the ending, and one without Info.xml.
    addBundle(KnownFolder::ProgramData, "Other");
    std::filesystem::create_directories(hostPath(mapsFolder(KnownFolder::ProgramData) + "\\E.gmap"));

    scanInstalledMapsets();

    EXPECT_EQ(listRows(), (Rows{"FID6001|Alps", "GMAP4711|Test Fam", "GMAP0|Broken",
                                "GMAP4711|Test Fam", "GMAP77|Mine"}));
    EXPECT_EQ(label(), "5 Installed Mapsets");
    const auto& row = installedMapsets[2];
    EXPECT_EQ(row.branch, "Maps");
    EXPECT_EQ(row.keyName, "Alpha.gmap");
    EXPECT_EQ(row.loc, shared);
    EXPECT_EQ(row.typ, shared + "\\xvillage.typ");
    ASSERT_EQ(row.bundleParts.size(), 1u);
    EXPECT_EQ(row.bundleParts[0].tdb, shared + "\\Product1\\Test Fam.tdb");
    EXPECT_EQ(row.bundleParts[0].baseMap, shared + "\\Product1\\Test Fam");
    EXPECT_FALSE(installedMapsets[3].bundleInfoRead);
}

TEST_F(BundleScan, BundlesCountWithinTheHundredRows)
{
    for (int i = 0; i < 99; ++i)
        putKey(kFamilies + "\\F" + std::to_string(100 + i));
    addBundle(KnownFolder::ProgramData, "A.gmap");
    addBundle(KnownFolder::RoamingAppData, "B.gmap");
    platform::scripted::answerNextMessage(platform::kAnswerOk);

    scanInstalledMapsets();

    EXPECT_EQ(label(), "100 Installed Mapsets");
    EXPECT_EQ(installedMapsets[100].keyName, "A.gmap");
    EXPECT_EQ(textsAndFlags("Read Mapset"),
              (Shown{{"Only the first 100 mapsets can be listed.", 0x30}}));
}

} // namespace
} // namespace oxlo::testing
