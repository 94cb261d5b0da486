// The repair and the uninstall with each of their registry and file calls failing in turn: the
// collection stays whole, and success is reported only for a change that is complete.
#include "catalogue/install_fixture.h"

#include "catalogue/mapset_install.h"
#include "mapfile/map_file.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/registry_file.h"
#include "catalogue/uninstall.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/fault_runs.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace scripted = oxlo::platform::scripted;

class CatalogueFaults : public InstallTest {
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
            // The user was told that it stays as it was, or that the list could not be read.
            bool toldOrNotAsked = false;
            for (const auto& message : run.messages)
                if (message.text == catalogue::kListNotWholeText) toldOrNotAsked = true;
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
                wasShown(run, "The registered mapsets could not be read, so mapset "
                              "Families\\Alps was not uninstalled.") ||
                wasShown(run, "No copy of Families\\Alps could be saved, so it was not changed."));
            expectEntryWhole(kFamilies + "\\Alps\\1", {"LOC", "TDB"});
            EXPECT_TRUE(rawValue(kFamilies + "\\Alps", "ID").has_value());
            for (const std::string& file : alpsFiles) EXPECT_TRUE(fileExists(alps + "\\" + file));
            return;
        }
        bool filesLeft = false;
        for (const std::string& file : alpsFiles) filesLeft = filesLeft || fileExists(alps + "\\" + file);
        const bool toldFilesLeft =
            wasShown(run, "The mapset was uninstalled, but some of its files could not be "
                          "deleted from " + alps + ".");
        EXPECT_NE(success, toldFilesLeft) << "one closing message";
        if (success) EXPECT_FALSE(filesLeft);
        EXPECT_TRUE(run.failingCall != 0 || success) << "the clean run succeeds";
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [] { catalogue::uninstallMapset(1); }, check);
    EXPECT_GT(totals.runs, 10);
    countInjectedRuns("uninstall", totals.runs);
}

TEST_F(CatalogueFaults, LocateFolderLeavesTheEntryWholeAtOneOfTheFolders)
{
    std::string alps, moved, before;
    const auto prepare = [&] {
        SetUp();
        alps = folder_ + "\\Alps";
        moved = folder_ + "\\Moved";
        addFamily("Alps", kRegBinary, {0x71, 0x17}, alps, makeTdb("Moved\\Alps.TDB", 7));
        putText(kFamilies + "\\Alps\\1", "TDB", alps + "\\Alps.TDB");
        putText(kFamilies + "\\Alps\\1", "BMAP", alps + "\\Alps.IMG");
        makeFile("Moved\\Alps.IMG");
        catalogue::scanInstalledMapsets();
        before = catalogue::registryFileText(
            kFamilies + "\\Alps", *catalogue::readRegistryTree(kLocalMachine, kFamilies + "\\Alps"));
        scripted::chooseNextFolder(moved);
    };
    const auto check = [&](const FaultRun& run) {
        const std::string files = kFamilies + "\\Alps\\1";
        const std::optional<std::string> loc = textValue(files, "LOC");
        if (loc == moved) {
            expectEntryWhole(files, {"LOC", "TDB", "BMAP"});
            const auto names = copies();
            ASSERT_EQ(names.size(), 1u) << "a copy was kept before the change";
            EXPECT_EQ(copyText(names[0]), before);
            return;
        }
        // Not moved: as it was, and the user was told (unless nothing was ever asked of the
        // registry because the folder could not be looked at).
        const std::string now = catalogue::registryFileText(
            kFamilies + "\\Alps", *catalogue::readRegistryTree(kLocalMachine, kFamilies + "\\Alps"));
        EXPECT_EQ(now, before);
        EXPECT_FALSE(run.messages.empty()) << "a failed Locate Folder says so";
        EXPECT_NE(run.failingCall, 0) << "the clean run moves the entry";
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [] { catalogue::runMapsetCommand(catalogue::kLocateFolderCommand, 1); }, check);
    EXPECT_GT(totals.runs, 10);
    countInjectedRuns("locate folder", totals.runs);
}

TEST_F(CatalogueFaults, RemoveEntryRemovesTheKeyOnlyWithACopyAndSaysWhenItCannot)
{
    std::string before;
    const auto prepare = [&] {
        SetUp();
        addFamily("Alps", kRegBinary, {0x71, 0x17}, folder_ + "\\Gone", folder_ + "\\Gone\\Alps.TDB");
        makeFile("Dol\\Dol.TDB");
        addFamily("Dolomites", kRegBinary, {0x72, 0x17}, folder_ + "\\Dol",
                  folder_ + "\\Dol\\Dol.TDB");
        catalogue::scanInstalledMapsets();
        before = catalogue::registryFileText(
            kFamilies + "\\Alps", *catalogue::readRegistryTree(kLocalMachine, kFamilies + "\\Alps"));
    };
    const auto check = [&](const FaultRun& run) {
        expectEntryWhole(kFamilies + "\\Dolomites\\1", {"LOC", "TDB"});
        if (!keyExists(kFamilies + "\\Alps")) {
            const auto names = copies();
            ASSERT_EQ(names.size(), 1u) << "removed only with a copy";
            EXPECT_EQ(copyText(names[0]), before);
            return;
        }
        EXPECT_EQ(catalogue::registryFileText(kFamilies + "\\Alps",
                                              *catalogue::readRegistryTree(kLocalMachine,
                                                                           kFamilies + "\\Alps")),
                  before);
        EXPECT_TRUE(
            wasShown(run, "No copy of Families\\Alps could be saved, so it was not changed.") ||
            wasShown(run, "The registry entry Families\\Alps could not be removed."));
        EXPECT_NE(run.failingCall, 0) << "the clean run removes the entry";
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [] { catalogue::runMapsetCommand(catalogue::kRemoveEntryCommand, 1); }, check);
    EXPECT_GT(totals.runs, 5);
    countInjectedRuns("remove entry", totals.runs);
}

TEST_F(CatalogueFaults, InstallReplacesTheFamilyWholeOrLeavesItAsItWas)
{
    std::string dales, typ, before;
    const auto prepare = [&] {
        SetUp();
        dales = ready("Dales");
        typ = dales + "\\dales.typ";
        const std::string old = folder_ + "\\Old";
        addFamily("Dales", kRegBinary, {0x76, 0x17}, old, makeFile("Old\\Dales.tdb"));
        putText(kFamilies + "\\Dales", "IDX", old + "\\Dales.mdx");
        before = catalogueText();
    };
    const auto check = [&](const FaultRun& run) {
        const bool warned = warnedOfFailure(run);
        const bool installed = wasShown(run, "Mapset Installed.");
        EXPECT_FALSE(warned && installed) << "no success after a failure";
        EXPECT_TRUE(installed || warned || run.failingCall == 0) << "a failed install says so";
        if (installed) {
            expectEntryWhole(kFamilies + "\\Dales\\3", {"LOC", "TDB", "BMAP"});
            EXPECT_EQ(valueNames(kFamilies + "\\Dales"), (std::vector<std::string>{"ID", "TYP"}));
            EXPECT_EQ(mapfile::readHeaderWord(typ, 0x2F), 6006);
            EXPECT_EQ(copies().size(), 1u);
            return;
        }
        const bool toldDamaged = std::any_of(run.messages.begin(), run.messages.end(), [](auto& m) {
            return m.text.find("could not be put back whole") != std::string::npos;
        });
        if (!toldDamaged) {
            EXPECT_EQ(catalogueText(), before);
        }
        // A stamped TYP gets its family ID back, and its copy goes, unless the text says not.
        const bool typLeft = std::any_of(run.messages.begin(), run.messages.end(), [](auto& m) {
            return m.text.find("keeps the new family ID") != std::string::npos ||
                   m.text.find("Its copy is") != std::string::npos;
        });
        if (!typLeft) {
            EXPECT_EQ(mapfile::readHeaderWord(typ, 0x2F), 6099);
            EXPECT_FALSE(fileExists(typ + ".bak"));
        }
    };
    // Yes to every question: replace, stamp the TYP, install.
    const auto answers = [](const scripted::MessageRecord& message) {
        return (message.flags & 0x0F) >= 3 ? kAnswerYes : kAnswerOk;
    };
    const FaultRunTotals totals = runFailingEachCall(
        prepare, [&] { catalogue::installMapset(dales + "\\Dales.tdb"); }, check, answers);
    EXPECT_GT(totals.runs, 20);
    countInjectedRuns("install", totals.runs);
}

// An install whose checks or writes fail: never an ID taken that could not be checked, never a
// key left that was not there before.
TEST_F(CatalogueFaults, AFailedInstallTakesNoUncheckedIdAndLeavesNoKey)
{
    struct Case {
        const char* what;
        bool holder; // another family holds the mapset's family ID
    };
    for (const Case& c : {Case{"the first mapset", false}, Case{"an ID already held", true}}) {
        SCOPED_TRACE(c.what);
        std::string hills, before;
        const auto prepare = [&] {
            SetUp();
            hills = ready("Hills");
            if (c.holder)
                addFamily("Other", kRegBinary, {0x75, 0x17}, folder_, folder_ + "\\Other.TDB");
            before = catalogueText();
        };
        const auto check = [&](const FaultRun& run) {
            const bool installed = std::any_of(run.messages.begin(), run.messages.end(),
                                               [](auto& m) { return m.text == "Mapset Installed."; });
            EXPECT_FALSE(installed && c.holder) << "family ID 6005 is taken";
            EXPECT_TRUE(installed || c.holder || run.failingCall != 0) << "the clean run installs";
            if (!installed) EXPECT_EQ(catalogueText(), before);
        };
        const auto answers = [](const scripted::MessageRecord& message) {
            return (message.flags & 0x0F) >= 3 ? kAnswerYes : kAnswerOk;
        };
        const FaultRunTotals totals = runFailingEachCall(
            prepare, [&] { catalogue::installMapset(hills + "\\Hills.tdb"); }, check, answers);
        EXPECT_GT(totals.runs, 10);
    }
}

} // namespace
} // namespace oxlo::testing
