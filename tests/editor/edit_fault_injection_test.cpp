// Every registry and file call of an edit failing in turn (portable platform only). After each run
// every mapset is registered under exactly one complete key naming files that exist, each product
// key is named by its .TDB's code, and the mapset is either whole under its new name or number
// with "Mapset edited." alone, or exactly as it was with a warning as the last box.
#include "edit_fixture.h"

#include "platform/registry.h"
#include "platform/services.h"
#include "support/fault_runs.h"

#include <functional>
#include <map>

namespace oxlo::editor_test {
namespace {

using catalogue::InstalledMapset;

// The registry and the mapset folders, every file with its bytes.
struct State {
    std::map<std::string, KeyValues> registry;
    std::map<std::string, Bytes> files;
    bool operator==(const State&) const = default;
};

std::string textOf(const KeyValues& values, const std::string& name) {
    const auto found = values.find(name);
    if (found == values.end() || found->second.bytes.empty()) return {};
    return std::string(found->second.bytes.begin(), found->second.bytes.end() - 1);
}

std::string fileStem(const std::string& path) {
    const std::string file = path.substr(path.rfind('\\') + 1);
    return file.substr(0, file.rfind('.'));
}

class EditFaultTest : public EditMapsetTest {
protected:
    void SetUp() override {
        EditMapsetTest::SetUp();
        village = loc.substr(0, loc.rfind('\\')) + "\\Village";
        ASSERT_NE(platform::createDirectory(village), 0);
    }

    // Village, a second mapset the edits must leave alone, under Products\152.
    void installVillage() { installProduct(village, "Village", testData("village.tdb"), "152"); }

    // A TYP file's copy holds the TYP as installed; one that a failed edit made is gone again.
    State state() const {
        State s;
        s.registry = registryDump();
        for (const std::string& folder : {loc, village}) {
            for (const auto& name : namesIn(folder))
                s.files[name] = readBytes(folder + "\\" + name);
        }
        if (const auto copy = s.files.find("Alpen.TYP.bak"); copy != s.files.end()) {
            EXPECT_EQ(copy->second, originalTyp) << "the TYP file's copy";
        }
        return s;
    }

    // Each mapset folder is named by exactly one key, whose LOC, BMAP and TDB are all there and
    // name files that exist, and whose .TDB stores the name of its file (padded with blanks).
    void expectCompleteRegistrations() const {
        std::map<std::string, int> keysPerFolder;
        for (const auto& [path, values] : registryDump()) {
            const bool family = path.starts_with("\\Families\\") && path.ends_with("\\1");
            const bool product = path.starts_with("\\Products\\");
            if (!family && !product) continue;
            SCOPED_TRACE(path);
            const std::string folder = textOf(values, "LOC");
            ++keysPerFolder[folder];
            const std::string bmap = textOf(values, "BMAP");
            const std::string tdb = textOf(values, "TDB");
            EXPECT_GE(platform::fileSize(bmap), 0) << "BMAP " << bmap;
            EXPECT_GE(platform::fileSize(tdb), 0) << "TDB " << tdb;
            EXPECT_EQ(fileStem(bmap), fileStem(tdb));
            std::string stored = storedNameOf(readBytes(tdb));
            while (!stored.empty() && stored.back() == ' ') stored.pop_back();
            EXPECT_EQ(stored, fileStem(tdb));
            const int code = platform::numberFromText(path.substr(path.rfind('\\') + 1));
            if (codesChecked && product && code > 0)
                EXPECT_EQ(code, productCodeOf(readBytes(tdb)));
        }
        EXPECT_EQ(keysPerFolder, (std::map<std::string, int>{{loc, 1}, {village, 1}}));
    }

    // A text that is no UTF-16 (a lone surrogate, an odd last byte) on Alpen's product key.
    static constexpr char kRawText[] = "A\0\x00\xD8\0";
    void addRawText(const std::string& key) const {
        platform::OwnedRegistryKey open;
        ASSERT_EQ(platform::registryOpenKey(platform::kLocalMachine, key,
                                            platform::RegistryAccess::Full, open.receive()),
                  platform::kRegistryOk);
        ASSERT_EQ(platform::registrySetStoredValue(open.get(), "Raw", platform::kRegSz,
                                                   std::string(kRawText, sizeof kRawText - 1)),
                  platform::kRegistryOk);
    }
    // Wherever Alpen's entry is now, its raw text holds every byte it had.
    void expectRawTextKept() const {
        for (const auto& [path, values] : registryDump()) {
            if (!path.starts_with("\\Products\\") || textOf(values, "LOC") != loc) continue;
            platform::OwnedRegistryKey open;
            ASSERT_EQ(platform::registryOpenKey(platform::kLocalMachine, kMapsource + path,
                                                platform::RegistryAccess::Read, open.receive()),
                      platform::kRegistryOk);
            unsigned type = 0;
            std::string bytes;
            EXPECT_EQ(platform::registryQueryStoredValue(open.get(), "Raw", &type, &bytes),
                      platform::kRegistryOk);
            EXPECT_EQ(bytes, std::string(kRawText, sizeof kRawText - 1)) << path;
        }
    }

    // Runs the edit once per counted call with that call failing; the number of runs in which a
    // failure was injected.
    int runEachFailing(const std::function<InstalledMapset()>& install, const char* name,
                       const char* number) {
        InstalledMapset row;
        State before, after;
        const auto prepare = [&] {
            platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
            for (const auto& file : namesIn(loc)) platform::deleteFile(loc + "\\" + file);
            catalogue::installedMapsets = {};
            installVillage();
            row = install();
            before = state();
        };
        const auto operation = [&] { edit(row, name, number); };
        const auto check = [&](const testing::FaultRun& run) {
            const State now = state();
            expectCompleteRegistrations();
            if (rawText) expectRawTextKept();
            const Shown shown = textsAndFlags("Edit Mapset", run.messages);
            ASSERT_FALSE(shown.empty());
            const bool warned = shown != Shown{kEdited};
            if (warned) {
                for (const auto& box : shown) EXPECT_EQ(box.second, 0x30) << box.first;
            }
            if (family) {
                const std::vector<int> ids = familyIdsHeld(tdbPath("Alpen"));
                EXPECT_EQ(ids, std::vector<int>(ids.size(), ids[0])) << "the family IDs disagree";
            }
            if (run.failingCall == 0) {
                EXPECT_FALSE(warned);
                EXPECT_FALSE(now == before) << "the edit changed nothing";
                after = now;
            } else if (warned && !(name && number)) {
                // With both fields, a failed rename lets the number change go on alone.
                EXPECT_TRUE(now == before) << "a warned edit must leave everything as it was";
            } else if (!warned) {
                EXPECT_TRUE(now == after) << "an edit without a warning must be whole";
            }
        };
        const testing::FaultRunTotals totals =
            testing::runFailingEachCall(prepare, operation, check);
        EXPECT_GT(totals.runs, 0);
        return totals.runs;
    }

    std::string village;
    bool family = false;       // the family ID's places are checked to agree
    bool codesChecked = false; // each numeric product key is checked to be its .TDB's code
    bool rawText = false;      // Alpen's product key holds a text that is no UTF-16
    Bytes originalTyp;
};

TEST_F(EditFaultTest, RenamedProductMapsetIsWholeUnderOneNameAfterAnyFailure) {
    const struct {
        const char* situation;
        const char* keyName;
        const char* newName;
    } cases[] = {
        {"product row", "150", "Alps"},
        {"product row, letter case only", "150", "ALPEN"},
        {"old-form row", "Alpen", "Alps"},
        {"numeric row read from another key", "1234", "Alps"},
    };
    int runs = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        runs += runEachFailing(
            [&] { return installProduct(loc, "Alpen", testData("alpen.tdb"), c.keyName); },
            c.newName, nullptr);
    }
    testing::countInjectedRuns("edit rename", runs);
}

TEST_F(EditFaultTest, NewProductCodeMovesTheEntryWholeOrNotAtAllAfterAnyFailure) {
    codesChecked = true;
    int runs = 0;
    for (const char* keyName : {"150", "Alpen"}) {
        SCOPED_TRACE(keyName);
        for (const char* name : {static_cast<const char*>(nullptr), "Alps"}) {
            SCOPED_TRACE(name ? name : "number only");
            runs += runEachFailing(
                [&] { return installProduct(loc, "Alpen", testData("alpen.tdb"), keyName); },
                name, "160");
        }
    }
    // A text that is no UTF-16 moves with the entry byte for byte, or stays as it was.
    rawText = true;
    runs += runEachFailing(
        [&] {
            InstalledMapset row = installProduct(loc, "Alpen", testData("alpen.tdb"), "150");
            addRawText(kMapsource + "\\Products\\150");
            return row;
        },
        nullptr, "160");
    testing::countInjectedRuns("edit product code", runs);
}

TEST_F(EditFaultTest, NewFamilyIdReachesEveryPlaceOrNoneAfterAnyFailure) {
    family = true;
    const auto install = [&] {
        InstalledMapset row = installAlpen("F");
        installFamilyFiles();
        originalTyp = readBytes(loc + "\\Alpen.TYP");
        return row;
    };
    testing::countInjectedRuns("edit family ID", runEachFailing(install, nullptr, "6100"));
}

TEST_F(EditFaultTest, RenamedFamilyIsWholeUnderOneNameAfterAnyFailure) {
    int runs = 0;
    for (const char* newName : {"Alps", "ALPEN"}) {
        SCOPED_TRACE(newName);
        runs += runEachFailing(
            [&] {
                InstalledMapset row = installAlpen("F");
                addFamilyExtras(loc);
                return row;
            },
            newName, nullptr);
    }
    testing::countInjectedRuns("family re-registration", runs);
}

} // namespace
} // namespace oxlo::editor_test
