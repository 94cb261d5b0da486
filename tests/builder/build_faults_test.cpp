// Injected failures in the build and registration of a mapset (with the stand-in tools: cpreview
// and cgpsmapper, or java.exe running mkgmap.jar) and in the attribute Save: each registry and file call of this process fails in turn, and afterwards
// every family is registered whole, or a message says what is left, and "Mapset Created." comes
// only with the new family registered whole. Portable platform only.
#include "builder_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/bundle_placement.h"
#include "builder/create_mapset_window.h"
#include "builder/earlier_outputs.h"
#include "builder/mapset_build.h"
#include "platform/portable/fault_injection.h"
#include "platform/registry_store.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "support/fault_runs.h"
#include "support/folder_test.h"
#include "support/registry_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace oxlo::testing {
namespace {

namespace scripted = platform::scripted;

const char* const kCreated = "Mapset Created.";
const char* const kFailed = "Mapset Creation Failed!\r\r";

using Values = std::vector<std::pair<std::string, std::string>>; // value name, text ("" for ID)

std::vector<std::uint8_t> idBytes(std::int32_t id) {
    return {static_cast<std::uint8_t>(id & 0xFF), static_cast<std::uint8_t>(id >> 8 & 0xFF)};
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Whether the key holds exactly these text values (and the ID given), and the subkeys named.
bool keyHolds(const std::string& key, std::int32_t id, const Values& texts,
              const std::vector<std::string>& subkeys) {
    std::vector<std::string> names;
    if (id != 0) {
        if (readRawValue(key, "ID").bytes != idBytes(id) ||
            readRawValue(key, "ID").type != platform::kRegBinary)
            return false;
        names.push_back("ID");
    }
    for (const auto& [name, text] : texts) {
        const RawValue value = readRawValue(key, name);
        if (value.type != platform::kRegSz || value.bytes != textBytes(text)) return false;
        names.push_back(name);
    }
    return sorted(valueNames(key)) == sorted(names) && sorted(subkeyNames(key)) == sorted(subkeys);
}

// A family as MapSource needs it: its ID, and LOC, TDB and BMAP naming a folder and files there.
struct Family {
    std::string keyName;
    std::int32_t id = 0;
    std::string loc;
    std::string typ; // empty: none
    std::string extraSubkeyLoc; // empty: only subkey 1
    bool searchIndex = false;   // IDX and MDR name the search index files in loc

    std::string key() const { return kFamiliesPath + "\\" + keyName; }
    std::string index() const { return loc + "\\" + keyName + ".TDB"; }
    std::string overview() const { return loc + "\\" + keyName + ".IMG"; }
    std::string searchIndexFile() const { return loc + "\\" + keyName + ".mdx"; }
    std::string searchMapsFile() const { return loc + "\\" + keyName + "_mdr.img"; }

    void registerWithFiles() const {
        registerFamily(keyName, id);
        if (!typ.empty()) {
            putText(key(), "TYP", typ);
            writeFileText(typ, "type file");
        }
        putText(key() + "\\1", "BMAP", overview());
        putText(key() + "\\1", "LOC", loc);
        putText(key() + "\\1", "TDB", index());
        if (!extraSubkeyLoc.empty()) putText(key() + "\\2", "LOC", extraSubkeyLoc);
        writeFileText(overview(), "overview");
        writeFileText(index(), std::string(14, '\0'));
        if (searchIndex) {
            putText(key(), "IDX", searchIndexFile());
            putText(key(), "MDR", searchMapsFile());
            writeFileText(searchIndexFile(), "search index");
            writeFileText(searchMapsFile(), "search maps");
        }
    }
    // Registered exactly so (spelling of the key name included), and its files are there.
    bool whole() const {
        const std::vector<std::string> families = subkeyNames(kFamiliesPath);
        if (std::find(families.begin(), families.end(), keyName) == families.end()) return false;
        Values values;
        if (!typ.empty()) values.push_back({"TYP", typ});
        if (searchIndex) values.insert(values.end(), {{"IDX", searchIndexFile()},
                                                      {"MDR", searchMapsFile()}});
        std::vector<std::string> subkeys = {"1"};
        if (!extraSubkeyLoc.empty()) subkeys.push_back("2");
        const bool files = folderExists(loc) && fileExists(index()) && fileExists(overview()) &&
                           (typ.empty() || fileExists(typ)) &&
                           (!searchIndex ||
                            (fileExists(searchIndexFile()) && fileExists(searchMapsFile())));
        return files && keyHolds(key(), id, values, subkeys) &&
               keyHolds(key() + "\\1", 0,
                        {{"BMAP", overview()}, {"LOC", loc}, {"TDB", index()}}, {}) &&
               (extraSubkeyLoc.empty() || keyHolds(key() + "\\2", 0, {{"LOC", extraSubkeyLoc}}, {}));
    }
};

class BuildFaultsTest : public FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        other_ = {"Other", 6002, folder_ + "\\other", "", ""};
        built_ = {"Alps", 6001, folder_ + "\\Alps", folder_ + "\\Alps\\alps.typ", ""};
        request_.name = "Alps";
        request_.folder = built_.loc;
        request_.familyId = built_.id;
        request_.maps = {folder_ + "\\maps\\12345678.IMG", folder_ + "\\maps\\87654321.IMG"};
        request_.typPath = folder_ + "\\types\\alps.typ";
        request_.compilerPath = standInProgram("cgpsmapper");
        request_.previewPath = standInProgram("cpreview");
    }
    void TearDown() override {
        FolderTest::TearDown();
        clearRegisteredMapsets();
    }

    // The starting state of every run: the maps, the TYP file, the other family and, when
    // given, the family that the new one replaces; no mapset folder yet.
    void prepare(const Family* replaced) {
        platform::setCurrentDirectory(startFolder_);
        std::filesystem::remove_all(hostPath(built_.loc));
        clearRegisteredMapsets();
        // Real maps and a real TYP file: the stand-in java.exe reads the maps, and the TYP copy
        // gets the family ID.
        for (const std::string& path : request_.maps) copyData("village-opaque.img", path);
        copyData("village.typ", request_.typPath);
        other_.registerWithFiles();
        if (replaced != nullptr) replaced->registerWithFiles();
        for (const auto& [name, text] : earlierFiles()) writeFileText(built_.loc + "\\" + name, text);
        platform::openWindow(builder::kCreateWindow, 0, 0, 503, 432, "Create Mapset", 0);
    }

    static void copyData(const char* name, const std::string& to) {
        std::filesystem::create_directories(hostPath(to).parent_path());
        std::filesystem::copy_file(std::filesystem::path(OXLO_TEST_DATA) / name, hostPath(to),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // The build with mkgmap, run by the stand-in java.exe: the real mkgmap is too slow to run
    // once per call.
    void useMkgmap() {
        request_.compiler = builder::Compiler::Mkgmap;
        request_.javaPath = standInMkgmapRuntime().javaHome + "\\bin\\java.exe";
        request_.mkgmapPath = standInMkgmapRuntime().jar;
        built_.searchIndex = true;
    }
    // A TYP registered with the family is the copy with the family's IDs.
    bool typStamped(const Family& family) const {
        if (readRawValue(family.key(), "TYP").type == 0) return true;
        const std::vector<std::uint8_t> typ = fileBytes(family.typ);
        return typ.size() > 0x32 && typ[0x2F] == 0x71 && typ[0x30] == 0x17 && typ[0x31] == 0x01 &&
               typ[0x32] == 0x00;
    }

    bool stamped() const {
        const std::vector<std::uint8_t> index = fileBytes(built_.index());
        return index.size() > 6 && index[5] == 0x71 && index[6] == 0x17;
    }

    // Files in the mapset folder before the build: the user's, an earlier map copy and outputs
    // of an earlier build.
    static std::vector<std::pair<std::string, std::string>> earlierFiles() {
        return {{"notes.txt", "the user's"}, {"Alps.tmp", "the user's too"},
                {"12345678.IMG", "earlier copy"}, {"alps.tdb", "earlier index"},
                {"Oxlo.txt", "earlier control file"}};
    }

    // What every run must leave, whichever call failed.
    void check(const FaultRun& run, const Family* replaced) {
        const bool created = wasShown(run, kCreated);
        // After a failure every earlier file is back as it was; after a success those that the
        // build does not replace are.
        for (const auto& [name, text] : earlierFiles()) {
            const bool replacedByBuild = name == "12345678.IMG" || name == "alps.tdb";
            if (!created || !replacedByBuild) {
                EXPECT_EQ(fileText(built_.loc + "\\" + name), text) << name;
                // The build writes Alps.TDB: the earlier file comes back under its own spelling.
                EXPECT_TRUE(std::filesystem::exists(hostPath(built_.loc) / name)) << name;
            }
        }
        for (const char* name :
             {"87654321.IMG", "Alps.IMG", "Alps.mp", "alps.typ", "Alps.mdx", "Alps_mdr.img"}) {
            if (!created) {
                EXPECT_FALSE(fileExists(built_.loc + "\\" + name)) << name << " taken back";
            }
        }
        const auto failure = std::find_if(run.messages.begin(), run.messages.end(), [](auto& m) {
            return m.text.rfind(kFailed, 0) == 0;
        });
        const bool failed = failure != run.messages.end();
        EXPECT_NE(created, failed) << "exactly one of success and failure is reported";
        EXPECT_TRUE(other_.whole()) << "the other family is untouched";

        // A TYP file, or search index files, that cannot be seen at all are passed over as
        // missing ones would be: the family is complete without them.
        bool newWhole = false;
        for (const bool withTyp : {true, false})
            for (const bool withSearchIndex : {true, false}) {
                Family variant = built_;
                if (!withTyp) variant.typ.clear();
                variant.searchIndex = built_.searchIndex && withSearchIndex;
                newWhole = newWhole || variant.whole();
            }
        newWhole = newWhole && stamped() && typStamped(built_);
        EXPECT_EQ(created, newWhole) << "\"Mapset Created.\" exactly when the new family is whole";
        const std::vector<std::string> families = sorted(subkeyNames(kFamiliesPath));
        if (newWhole) {
            EXPECT_EQ(families, (std::vector<std::string>{"Alps", "Other"}));
            return;
        }
        // Not created: the earlier state stands, or the message says what is left.
        const bool earlierStands =
            replaced != nullptr
                ? replaced->whole() && families == sorted({replaced->keyName, "Other"})
                : families == std::vector<std::string>{"Other"};
        if (!earlierStands && failed) {
            const std::string& text = failure->text;
            EXPECT_TRUE(text.find("could not be put back whole") != std::string::npos ||
                        text.find("is left") != std::string::npos)
                << "the registry changed, but the message does not say so: " << text;
        }
        if (!failed) ADD_FAILURE() << "no message, and the new family is not registered whole";
    }

    int runEachFailing(const Family* replaced) {
        const FaultRunTotals totals = runFailingEachCall(
            [&] { prepare(replaced); },
            [&] { builder::buildMapset(request_); },
            [&](const FaultRun& run) { check(run, replaced); });
        EXPECT_GT(totals.calls, 20) << "the build's calls were counted";
        return totals.runs;
    }

    // Runs replacing an earlier family of the same name but for letter case, with a TYP value
    // and a subkey 2 (and a search index when `earlierSearchIndex`) that must not stay with the
    // new family, then runs registering a new family. Gives the injected runs.
    int runReplacingAndNew(bool earlierSearchIndex) {
        const Family replaced = {"ALPS", 6500, folder_ + "\\old", folder_ + "\\old\\old.typ",
                                 folder_ + "\\old", earlierSearchIndex};
        int runs = 0;
        {
            SCOPED_TRACE("replacing ALPS");
            runs += runEachFailing(&replaced);
        }
        {
            SCOPED_TRACE("a new family");
            runs += runEachFailing(nullptr);
        }
        return runs;
    }

    Family other_, built_;
    builder::MapsetBuildRequest request_;
};

TEST_F(BuildFaultsTest, BuildAndRegistrationLeaveEveryFamilyWholeOrSaySo) {
    countInjectedRuns("build and registration", runReplacingAndNew(false));
}

TEST_F(BuildFaultsTest, BuildWithMkgmapAndRegistrationLeaveEveryFamilyWholeOrSaySo) {
    useMkgmap();
    countInjectedRuns("build with mkgmap and registration", runReplacingAndNew(true));
}

TEST_F(BuildFaultsTest, AttributeSaveWritesBothBytesOrNeitherAndSaysSo) {
    // A map whose TRE signature starts at byte 100: the two attribute bytes are 161 and 162.
    std::vector<std::uint8_t> before(300, 0x5A);
    const std::string signature = "GARMIN TRE";
    std::copy(signature.begin(), signature.end(), before.begin() + 100);
    before[161] = 1;
    before[162] = 20;
    std::vector<std::uint8_t> after = before;
    after[161] = 3;
    after[162] = 25;
    const std::string map = folder_ + "\\maps\\12345678.IMG";
    const FaultRunTotals totals = runFailingEachCall(
        [&] {
            writeFileBytes(map, before);
            openWindowAsNewDoes();
            scripted::queueClick(builder::kCustomToggle, 1);
            scripted::chooseNextFiles({map});
            scripted::queueControlEvent(builder::kSelectMapsButton);
            scripted::queueSelectRow(builder::kMapList, 0);
            scripted::queueControlEvent(builder::kMapAttributeButton);
            scripted::queueTyping(builder::kPriorityField, "25");
            scripted::queueClick(builder::kTransparentBox, 1);
            scripted::queueControlEvent(builder::kSaveAttributeButton);
            scripted::queueClose();
        },
        [&] { builder::runCreateMapsetWindow("C:\\Tools\\cgpsmapper.exe", "C:\\Tools\\cpreview.exe"); },
        [&](const FaultRun& run) {
            const std::vector<std::uint8_t> bytes = fileBytes(map);
            const bool refused = std::any_of(run.messages.begin(), run.messages.end(), [&](auto& m) {
                return m.text == "The map attributes could not be saved to " + map + "." ||
                       m.text == "No map attributes found in 12345678.IMG. Nothing was saved.";
            });
            if (bytes == after) {
                EXPECT_FALSE(refused) << "saved, but said not to be";
            } else {
                EXPECT_EQ(bytes, before) << "half saved";
                EXPECT_TRUE(refused) << "nothing saved, and nothing said";
            }
        });
    countInjectedRuns("attribute save", totals.runs);
}

// The undo of a failed build with each of its own calls failing in turn (the build has failed
// already): every earlier file is back under its own spelling and nothing the build wrote stays.
TEST(EarlierOutputsFaults, AFailedBuildIsTakenBackWhicheverCallOfTheUndoFails) {
    namespace fs = std::filesystem;
    const std::string folder = freshTestFolder("EarlierOutputsFaults");
    const std::map<std::string, std::string> earlier = {{"alps.tdb", "earlier index"},
                                                        {"notes.txt", "the user's"}};
    std::optional<builder::EarlierOutputs> written;
    const auto prepare = [&] {
        fs::remove_all(hostPath(folder));
        for (const auto& [name, text] : earlier) writeFileText(folder + "\\" + name, text);
        written.emplace();
        for (const char* name : {"Alps.TDB", "Alps.IMG", "12345678.IMG"}) {
            ASSERT_TRUE(written->guard(folder + "\\" + name));
            writeFileText(folder + "\\" + name, "of the failed build");
        }
    };
    const auto check = [&](const FaultRun&) {
        std::map<std::string, std::string> left;
        for (const auto& entry : fs::directory_iterator(hostPath(folder))) {
            const std::string name = entry.path().filename().string();
            left[name] = fileText(folder + "\\" + name);
        }
        EXPECT_EQ(left, earlier);
    };
    const FaultRunTotals totals = runFailingEachCall(prepare, [&] { written->putBack(); }, check);
    EXPECT_GT(totals.runs, 3);
    countInjectedRuns("undo of a failed build", totals.runs);
}

// A new bundle put in place of an old one with each file call failing in turn, with and without a
// Recycle Bin: the folder holds the old bundle whole or the new one, the old one goes for good
// only after Yes, and a new one that is in place while the old one could not go says where the
// old one is.
TEST(BundlePlacementFaults, TheOldBundleStaysWholeUnlessTheNewOneIsInPlace) {
    namespace fs = std::filesystem;
    const std::string folder = freshTestFolder("BundlePlacementFaults");
    const std::string chosen = folder + "\\Out";
    const std::string bundle = chosen + "\\Test Fam.gmap";
    const std::string made = folder + "\\work\\Test Fam.gmap";
    const std::string question =
        "The bundle " + bundle + " cannot go to the Recycle Bin. Delete it for good?";
    struct BinBack {
        ~BinBack() { platform::fault_injection::setRecycleBinUnavailable(false); }
    } binBack;
    const struct {
        const char* what;
        bool old;
        bool recycleBin;
        int deleteForGood;
    } cases[] = {
        {"no old bundle", false, true, platform::kAnswerYes},
        {"the old one to the Recycle Bin", true, true, platform::kAnswerYes},
        {"no Recycle Bin, Yes", true, false, platform::kAnswerYes},
        {"no Recycle Bin, No", true, false, platform::kAnswerNo},
    };
    // "old" or "new" for a bundle with both of its files, else what is there.
    const auto bundleAt = [](const std::string& path) -> std::string {
        if (!fileExists(path + "\\Info.xml")) return fs::exists(hostPath(path)) ? "part" : "none";
        return fileExists(path + "\\Product1\\map.img") ? fileText(path + "\\Info.xml") : "part";
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool placed = false;
        const auto prepare = [&] {
            fs::remove_all(hostPath(folder));
            platform::fault_injection::setRecycleBinUnavailable(!c.recycleBin);
            for (const auto& [path, text] : {std::pair{made, "new"}, std::pair{bundle, "old"}}) {
                if (text == std::string("old") && !c.old) continue;
                writeFileText(path + "\\Info.xml", text);
                writeFileText(path + "\\Product1\\map.img", text);
            }
            fs::create_directories(hostPath(chosen));
        };
        const auto answers = [&](const platform::scripted::MessageRecord& message) {
            return message.text == question ? c.deleteForGood : answerYesOrOk(message);
        };
        const auto check = [&](const FaultRun& run) {
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(hostPath(chosen)))
                names.push_back(entry.path().filename().string());
            const auto asking = std::find_if(run.messages.begin(), run.messages.end(),
                                                [&](const auto& m) { return m.text == question; });
            const bool asked = asking != run.messages.end();
            if (asked) {
                EXPECT_TRUE(c.old && !c.recycleBin) << "asked only when the bin cannot take it";
                EXPECT_EQ(asking->title, "Export BaseCamp Bundle");
                EXPECT_EQ(asking->flags, 0x34);
            }
            if (run.failingCall == 0) {
                EXPECT_EQ(asked, c.old && !c.recycleBin);
            }
            if (placed) {
                EXPECT_EQ(bundleAt(bundle), "new");
                EXPECT_EQ(names, std::vector<std::string>{"Test Fam.gmap"}) << "the old one is gone";
                EXPECT_EQ(run.messages.size(), asked ? 1u : 0u);
                return;
            }
            const std::string aside = bundle + ".old";
            const bool leftAside =
                wasShown(run, "The BaseCamp bundle " + bundle +
                                  " is in place, but the old one could not be removed: it is now " +
                                  aside + ".");
            if (leftAside) {
                EXPECT_EQ(bundleAt(bundle), "new");
                EXPECT_TRUE(fs::exists(hostPath(aside)));
                return;
            }
            EXPECT_EQ(bundleAt(bundle), c.old ? "old" : "none") << "the old one comes back whole";
            EXPECT_EQ(names.size(), c.old ? 1u : 0u);
            if (!(asked && c.deleteForGood == platform::kAnswerNo)) {
                EXPECT_TRUE(wasShown(run, "The BaseCamp bundle could not be put in place as " +
                                              bundle + "."));
            } else {
                EXPECT_EQ(run.messages.size(), 1u) << "No says nothing more";
                EXPECT_EQ(bundleAt(made), "new") << "the new one is back where it was made";
            }
        };
        const FaultRunTotals totals = runFailingEachCall(
            prepare, [&] { placed = builder::placeBundle(made, bundle); }, check, answers);
        EXPECT_GE(totals.runs, c.old ? 3 : 1);
        countInjectedRuns("bundle placement", totals.runs);
    }
}

} // namespace
} // namespace oxlo::testing
