// The number field: a product row's new code moves its entry to Products\CODE, a family row's new
// family ID reaches every place that holds it; over the target's own files and registry.
#include "edit_fixture.h"

#include "catalogue/bundle_folders.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <filesystem>

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;

// Also when the index holds the typed code already and only the key differs.
TEST_F(EditMapsetTest, NewProductCodeMovesTheEntryToItsKey) {
    const struct {
        const char* form;
        const char* oldKey;
        bool indexHoldsIt;
    } cases[] = {
        {"N", "150", false}, {"O", "Alpen", false}, {"N", "150", true}, {"O", "Alpen", true}};
    for (const auto& [form, oldKey, indexHoldsIt] : cases) {
        SCOPED_TRACE(std::string(form) + (indexHoldsIt ? ", index at 175" : ""));
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        InstalledMapset row = installAlpen(form);
        if (indexHoldsIt) {
            Bytes tdb = originalTdb;
            tdb[3] = 175;
            writeBytes(tdbPath("Alpen"), tdb);
            row.id = 175; // as the scan reads it from the index
        }
        const RegistryDump before = registryDump();
        EXPECT_EQ(edit(row, nullptr, "175"), Shown{kEdited});
        EXPECT_EQ(registryDump(), withProductKeyMoved(before, oldKey, "175"));
        Bytes expected = originalTdb;
        expected[3] = 175;
        EXPECT_EQ(readBytes(tdbPath("Alpen")), expected);
        EXPECT_EQ(row.keyName, "175");
    }
}

// Only words that hold the old ID change: an .mdx record of another family and a TYP file of
// another family's ID stay as they are; the registered TYP gets the new ID wherever it lies. A
// TYP holding the old ID that another family registers too refuses the change, nothing written.
TEST_F(EditMapsetTest, NewFamilyIdReachesEveryPlaceThatHoldsIt) {
    const struct {
        const char* situation;
        bool oldCopy;        // an Alpen.TYP.bak is there already
        bool typElsewhere;   // the registered TYP is a copy outside the mapset folder
        int typHolds;        // the family ID in Alpen.TYP
        bool typShared;      // the family Topo registers Alpen.TYP too
        int secondRecord;    // the family ID of Alpen.mdx's second record
        std::vector<int> after; // familyIdsHeld after the change (-1: two families registered)
    } cases[] = {
        {"TYP in the folder", false, false, 6001, false, 6001, {6100, 6100, 6100, 6100, 6100}},
        {"earlier TYP copy", true, false, 6001, false, 6001, {6100, 6100, 6100, 6100, 6100}},
        {"TYP elsewhere", false, true, 6001, false, 6001, {6100, 6100, 6100, 6100, 6001}},
        {"TYP of another family", false, false, 6002, false, 6001, {6100, 6100, 6100, 6100, 6002}},
        {"TYP shared with Topo", false, false, 6001, true, 6001, {-1, 6001, 6001, 6001, 6001}},
        {"index of two families", false, false, 6001, false, 6002, {6100, 6100, 6100, 6002, 6100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen("F");
        installFamilyFiles();
        Bytes typ = readBytes(loc + "\\Alpen.TYP");
        typ[0x2F] = c.typHolds & 0xFF;
        typ[0x30] = c.typHolds >> 8;
        writeBytes(loc + "\\Alpen.TYP", typ);
        Bytes mdx = readBytes(loc + "\\Alpen.mdx");
        mdx[32] = c.secondRecord & 0xFF;
        mdx[33] = c.secondRecord >> 8;
        writeBytes(loc + "\\Alpen.mdx", mdx);
        if (c.oldCopy) writeBytes(loc + "\\Alpen.TYP.bak", {1, 2, 3});
        const std::string elsewhere = loc + " elsewhere";
        const std::string registeredTyp = (c.typElsewhere ? elsewhere : loc) + "\\Alpen.TYP";
        if (c.typElsewhere) {
            platform::createDirectory(elsewhere);
            writeBytes(registeredTyp, typ);
            platform::writeRegistryValue(platform::kLocalMachine, kFamilies + "Alpen", "TYP",
                                         registeredTyp, platform::kValueText, "");
        }
        if (c.typShared) {
            platform::createRegistryKey(platform::kLocalMachine, kFamilies + "Topo", "");
            platform::writeRegistryValue(platform::kLocalMachine, kFamilies + "Topo", "ID", "6002",
                                         platform::kValueBinary, "");
            platform::writeRegistryValue(platform::kLocalMachine, kFamilies + "Topo", "TYP",
                                         loc + "\\alpen.typ", platform::kValueText, "");
        }

        if (c.typShared) {
            EXPECT_EQ(edit(row, nullptr, "6100"),
                      (Shown{{"The family ID of mapset Alpen was not changed: " + loc +
                                  "\\Alpen.TYP is also registered by Families\\Topo.",
                              0x30}}));
            EXPECT_EQ(familyIdsHeld(row.tdb), c.after);
            EXPECT_EQ(readBytes(tdbPath("Alpen")), originalTdb);
            EXPECT_EQ(readBytes(registeredTyp), typ);
            EXPECT_EQ(row.id, 6001);
            continue;
        }
        EXPECT_EQ(edit(row, nullptr, "6100"), Shown{kEdited});

        EXPECT_EQ(familyIdsHeld(row.tdb), c.after);
        EXPECT_EQ(valuesOf(kFamilies + "Alpen").at("ID"),
                  (RegistryValue{platform::kRegBinary, {0xD4, 0x17}}));
        // The product ID stays as registered: only the family ID's word of the .TDB changed.
        Bytes index = originalTdb;
        index[5] = 0xD4;
        EXPECT_EQ(readBytes(tdbPath("Alpen")), index);
        // The registered TYP is copied before it changes, and only then.
        const bool typChanged = c.typHolds == 6001 && !c.typShared;
        Bytes typAfter = typ;
        if (typChanged) typAfter[0x2F] = 0xD4, typAfter[0x30] = 0x17;
        EXPECT_EQ(readBytes(registeredTyp), typAfter);
        const Bytes copy = c.oldCopy ? Bytes{1, 2, 3} : typChanged ? typ : Bytes{};
        EXPECT_EQ(readBytes(registeredTyp + ".bak"), copy);
        EXPECT_EQ(row.id, 6100);
        std::filesystem::remove_all(testing::hostPath(elsewhere));
    }
}

// Each refusal changes nothing and is the last box: no "Mapset edited." after it.
TEST_F(EditMapsetTest, NumbersThatCannotBeTakenAreRefused) {
    const std::string kFamilyRange =
        "Family IDs range from 1 to 65534. Please select a number in that range.";
    const struct {
        const char* form;
        const char* typed;
        const char* otherKey; // registered beforehand, with family ID 6002
        std::string shown;
        bool bundle = false; // the BaseCamp bundle Clash.gmap of family 6002 is there
        bool sharesIndex = false; // otherKey registers Alpen's .TDB too (as last scanned)
    } cases[] = {
        {"F", "0", nullptr, kFamilyRange},
        {"F", "65535", nullptr, kFamilyRange},
        {"F", "4294973396", nullptr, kFamilyRange}, // 2^32 + 6100
        {"N", "4294967446", nullptr, kRange},       // 2^32 + 150, the code it has
        {"F", "6002", nullptr,
         "Family ID 6002 is already used by the BaseCamp bundle Maps\\Clash.gmap. Please choose "
         "another family ID.",
         true},
        {"F", "6002", "Families\\Topo",
         "Family ID 6002 is already used by mapset Families\\Topo. Please choose another "
         "family ID."},
        {"N", "160", "Products\\160",
         "The product code of mapset Alpen was not changed: product code 160 is already "
         "registered to another mapset (Products\\160)."},
        {"O", "160", "Products\\160",
         "The product code of mapset Alpen was not changed: product code 160 is already "
         "registered to another mapset (Products\\160)."},
        {"F", "6100", "Products\\160",
         "The family ID of mapset Alpen was not changed: " + loc +
             "\\Alpen.TDB is also registered by Products\\160.",
         false, true},
        {"N", "170", "Products\\160",
         "The product code of mapset Alpen was not changed: " + loc +
             "\\Alpen.TDB is also registered by Products\\160.",
         false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " typed " + c.typed);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen(c.form);
        if (row.form == "F") installFamilyFiles();
        if (c.otherKey) {
            const std::string key = kMapsource + "\\" + c.otherKey;
            platform::createRegistryKey(platform::kLocalMachine, key, "");
            platform::writeRegistryValue(platform::kLocalMachine, key, "ID", "6002",
                                         platform::kValueBinary, "");
            if (c.sharesIndex) {
                platform::writeRegistryValue(platform::kLocalMachine, key, "LOC", loc,
                                             platform::kValueText, "");
                platform::writeRegistryValue(platform::kLocalMachine, key, "TDB", row.tdb,
                                             platform::kValueText, "");
                catalogue::scanInstalledMapsets();
            }
        }
        testing::clearBundleFolders();
        if (c.bundle) {
            const std::string info = testing::infoOf("Clash", 6002);
            testing::addBundle(platform::KnownFolder::ProgramData, "Clash.gmap", &info);
        }
        const RegistryDump registry = registryDump();
        const Snapshot before = snapshot();
        EXPECT_EQ(edit(row, nullptr, c.typed), Shown{warning(c.shown)});
        EXPECT_EQ(registryDump(), registry);
        expectUnchangedSince(before);
    }
    testing::clearBundleFolders();
}

} // namespace
} // namespace oxlo::editor_test
