// The commands on a bundle row: the greyed registry items, uninstall to the Recycle Bin and the
// refused edit.
#include "catalogue/bundle_fixture.h"

#include "catalogue/bundle_commands.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/uninstall.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::scanInstalledMapsets;

using BundleCommands = BundleTest;

TEST_F(BundleCommands, RegistryItemsAreGreyedAndDoNothingOnABundle)
{
    const std::string bundle = addBundle(KnownFolder::ProgramData, "Test Fam.gmap");
    scanInstalledMapsets();
    for (const MenuItem& item : catalogue::mapsetMenu(1)) {
        SCOPED_TRACE(item.caption);
        if (item.command == 0) continue; // the separator
        const bool registryOnly = item.command == catalogue::kLocateFolderCommand ||
                                  item.command == catalogue::kRemoveEntryCommand ||
                                  item.command == catalogue::kSaveEntryCommand ||
                                  item.command == catalogue::kExportBundleCommand ||
                                  item.command == catalogue::kMoveMapsetCommand ||
                                  item.command == catalogue::kSaveForGpsCommand;
        const bool fixable = item.command != catalogue::kFixTypCommand; // the TYP is its own
        EXPECT_EQ(item.enabled, !registryOnly && fixable);
        // Sent as commands all the same, they ask nothing and change nothing.
        if (registryOnly) catalogue::runMapsetCommand(item.command, 1);
    }
    EXPECT_TRUE(scripted::shownMessages().empty());
    scripted::answerNextMessage(kAnswerOk);
    catalogue::runMapsetCommand(catalogue::kCheckMapsetCommand, 1);
    ASSERT_EQ(scripted::shownMessages().size(), 1u);
    EXPECT_EQ(scripted::shownMessages()[0].text, "Mapset Maps\\Test Fam.gmap has no problems.");
    EXPECT_TRUE(std::filesystem::exists(hostPath(bundle + "\\Info.xml")));
}

TEST_F(BundleCommands, FixTypLeavesATypOutsideTheBundleAlone)
{
    // Test Fam (family 4712 here) names the TYP of the bundle Other, which holds family 4711.
    const std::string other = addBundle(KnownFolder::ProgramData, "Other.gmap");
    std::string info = infoOf("Test Fam", 4712);
    info.insert(info.find("</MapProduct>"), "<TYP>..\\Other.gmap\\xvillage.typ</TYP>");
    addBundle(KnownFolder::ProgramData, "Test Fam.gmap", &info);
    scanInstalledMapsets();
    ASSERT_EQ(catalogue::installedMapsets[2].problems.size(), 1u);
    EXPECT_EQ(catalogue::installedMapsets[2].problems[0].text,
              "Info.xml names ..\\Other.gmap\\xvillage.typ outside its bundle.");
    catalogue::runMapsetCommand(catalogue::kFixTypCommand, 2); // greyed, sent all the same
    const std::string typ = other + "\\xvillage.typ";
    EXPECT_EQ(mapfile::readHeaderWord(typ, mapfile::kTypFamilyIdPosition), 4711);
    EXPECT_FALSE(std::filesystem::exists(hostPath(typ + ".bak")));
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(BundleCommands, UninstallRecyclesTheWholeFolderAfterTheQuestion)
{
    addFamily("Alps", kRegBinary, {0x71, 0x17}, folder_, makeTdb("Alps.TDB", 1));
    const std::string kept = addBundle(KnownFolder::ProgramData, "Kept.gmap");
    const std::string bundle = addBundle(KnownFolder::RoamingAppData, "Test Fam.gmap");
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerNo);
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(3);
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(3);

    EXPECT_EQ(textsAndFlags("Uninstall Mapset"),
              (Shown{
                  {"Proceed to uninstall mapset 'Maps\\Test Fam.gmap' ?", kMessageQuestion},
                  {"Uninstall Cancelled.", kMessageInfo},
                  {"Proceed to uninstall mapset 'Maps\\Test Fam.gmap' ?", kMessageQuestion},
                  {"Uninstall Successful.", kMessageInfo},
              }));
    EXPECT_FALSE(std::filesystem::exists(hostPath(bundle)));
    EXPECT_TRUE(std::filesystem::exists(hostPath(kept + "\\Info.xml")));
    EXPECT_EQ(listRows(), (std::vector<std::string>{"FID6001|Alps", "GMAP4711|Test Fam"}));

    // A mapset registered with a bundle's folder as its own keeps the bundle there.
    addFamily("Inside", kRegBinary, {0x72, 0x17}, kept, kept + "\\Inside.TDB");
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(3);
    EXPECT_EQ(scripted::shownMessages().back().text,
              "The bundle " + kept + " was not removed because mapset Families\\Inside uses "
                                     "that folder too.");
    EXPECT_TRUE(std::filesystem::exists(hostPath(kept + "\\Info.xml")));
}

TEST_F(BundleCommands, EditIsRefusedForABundleOnly)
{
    addFamily("Alps", kRegBinary, {0x71, 0x17}, folder_, makeTdb("Alps.TDB", 1));
    addBundle(KnownFolder::ProgramData, "Test Fam.gmap");
    scanInstalledMapsets();
    EXPECT_FALSE(catalogue::refuseBundleEdit(1));
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_TRUE(catalogue::refuseBundleEdit(2));
    EXPECT_EQ(textsAndFlags("Edit Mapset"), (Shown{{"Mapset Test Fam is a BaseCamp bundle. Oxlo "
                                                    "edits mapsets registered for MapSource only.",
                                                    0x40}}));
}

} // namespace
} // namespace oxlo::testing
