// The repair and the uninstall with each of their registry and file calls failing in turn: the
// collection stays whole, and success is reported only for a change that is complete.
#include "catalogue/catalogue_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/uninstall.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/fault_runs.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;

class CatalogueFaults : public CatalogueTest {
protected:
    // A key whose values are all there, each naming a file (LOC: a folder) that exists.
    void expectEntryWhole(const std::string& key, const std::vector<std::string>& fileValues)
    {
        SCOPED_TRACE(key);
        ASSERT_TRUE(keyExists(key));
        for (const std::string& name : fileValues) {
            SCOPED_TRACE(name);
            const std::optional<std::string> path = textValue(key, name);
            ASSERT_TRUE(path.has_value());
            EXPECT_TRUE(fileExists(*path)) << *path;
        }
    }
};

TEST_F(CatalogueFaults, RepairLeavesExactlyOneWholeEntry)
{
    std::string topo;
    const auto prepare = [&] {
        SetUp();
        topo = folder_ + "\\Topo";
        makeFile("Topo\\Topo.IMG");
        addProduct("Topo", topo, makeTdb("Topo\\Topo.TDB", 152));
    };
    const auto check = [&](const FaultRun& run) {
        const bool repaired = keyExists(kProducts + "\\152");
        EXPECT_NE(repaired, keyExists(kProducts + "\\Topo")) << "exactly one entry";
        if (repaired) {
            expectEntryWhole(kProducts + "\\152", {"BMAP", "LOC", "TDB"});
        } else {
            expectEntryWhole(kProducts + "\\Topo", {"LOC", "TDB"});
            // Unless the entry was never read, the user was told that it stays as it was.
            bool toldOrNotAsked = true;
            for (const auto& message : run.messages)
                if (message.text.find("incompatible") != std::string::npos) toldOrNotAsked = false;
            for (const auto& message : run.messages)
                if (message.text.find("was not fixed") != std::string::npos ||
                    message.text == "No copy of Products\\Topo could be saved, so it was not changed.")
                    toldOrNotAsked = true;
            EXPECT_TRUE(toldOrNotAsked);
        }
        EXPECT_TRUE(run.failingCall != 0 || repaired) << "the clean run repairs";
    };
    const FaultRunTotals totals =
        runFailingEachCall(prepare, [] { catalogue::scanInstalledMapsets(); }, check);
    EXPECT_GT(totals.runs, 10);
    countInjectedRuns("repair", totals.runs);
}

TEST_F(CatalogueFaults, UninstallReportsSuccessOnlyForAGoneEntry)
{
    std::string alps;
    const std::vector<std::string> alpsFiles = {"Alps.img", "Alps.tdb", "Alps.mdx", "Alps.mp",
                                                "63240001.img"};
    const auto prepare = [&] {
        SetUp();
        alps = folder_ + "\\Alps";
        for (const std::string& file : alpsFiles) makeFile("Alps\\" + file);
        makeFile("Dol\\Dol.TDB");
        addFamily("Alps", kRegBinary, {0x71, 0x17}, alps, alps + "\\Alps.tdb");
        addFamily("Dolomites", kRegBinary, {0x72, 0x17}, folder_ + "\\Dol",
                  folder_ + "\\Dol\\Dol.TDB");
        catalogue::scanInstalledMapsets();
    };
    const auto check = [&](const FaultRun& run) {
        expectEntryWhole(kFamilies + "\\Dolomites\\1", {"LOC", "TDB"});
        const bool gone = !keyExists(kFamilies + "\\Alps");
        const bool success = wasShown(run, "Uninstall Successful.");
        if (!gone) {
            EXPECT_FALSE(success);
            EXPECT_TRUE(
                wasShown(run, "The registry entry Families\\Alps could not be removed.") ||
                wasShown(run, "No copy of Families\\Alps could be saved, so it was not changed."));
            expectEntryWhole(kFamilies + "\\Alps\\1", {"LOC", "TDB"});
            EXPECT_TRUE(rawValue(kFamilies + "\\Alps", "ID").has_value());
            for (const std::string& file : alpsFiles) EXPECT_TRUE(fileExists(alps + "\\" + file));
            return;
        }
        bool filesLeft = false;
        for (const std::string& file : alpsFiles) filesLeft = filesLeft || fileExists(alps + "\\" + file);
        const bool toldFilesLeft = wasShown(
            run, "The mapset was uninstalled, but some of its files could not be deleted from " +
                     alps + ".");
        EXPECT_NE(success, toldFilesLeft) << "one closing message";
        if (success) EXPECT_FALSE(filesLeft);
        EXPECT_TRUE(run.failingCall != 0 || success) << "the clean run succeeds";
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [] { catalogue::uninstallMapset(1); }, check);
    EXPECT_GT(totals.runs, 10);
    countInjectedRuns("uninstall", totals.runs);
}

} // namespace
} // namespace oxlo::testing
