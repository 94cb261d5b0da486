// The number field: a product row's new code moves its entry to Products\CODE, a family row's new
// family ID reaches every place that holds it; over the target's own files and registry.
#include "edit_fixture.h"

#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;

TEST_F(EditMapsetTest, NewProductCodeMovesTheEntryToItsKey) {
    for (const auto& [form, oldKey] : {std::pair{"N", "150"}, std::pair{"O", "Alpen"}}) {
        SCOPED_TRACE(form);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, "SOFTWARE\\Garmin\\Mapsource");
        InstalledMapset row = installAlpen(form);
        const RegistryDump before = registryDump();
        EXPECT_EQ(textsAndFlags(edit(row, nullptr, "175")), Shown{kEdited});
        EXPECT_EQ(registryDump(), withProductKeyMoved(before, oldKey, "175"));
        Bytes expected = originalTdb;
        expected[3] = 175;
        EXPECT_EQ(readBytes(tdbPath("Alpen")), expected);
        EXPECT_EQ(row.keyName, "175");
    }
}

TEST_F(EditMapsetTest, NewFamilyIdReachesEveryPlaceThatHoldsIt) {
    const struct {
        const char* situation;
        bool oldCopy;     // an Alpen.TYP.bak is there already
        bool typElsewhere; // the registered TYP lies outside the mapset folder
    } cases[] = {{"TYP in the folder", false, false},
                 {"earlier TYP copy", true, false},
                 {"TYP elsewhere", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, "SOFTWARE\\Garmin\\Mapsource");
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen("F");
        installFamilyFiles();
        const Bytes typ = readBytes(loc + "\\Alpen.TYP");
        if (c.oldCopy) writeBytes(loc + "\\Alpen.TYP.bak", {1, 2, 3});
        if (c.typElsewhere)
            platform::writeRegistryValue(platform::kLocalMachine, kFamilies + "Alpen", "TYP",
                                         loc + "\\..\\Alpen.TYP", platform::kValueText, "");
        ASSERT_EQ(familyIdsHeld(row.tdb), std::vector<int>(5, 6001));

        EXPECT_EQ(textsAndFlags(edit(row, nullptr, "6100")), Shown{kEdited});

        const int typId = c.typElsewhere ? 6001 : 6100;
        EXPECT_EQ(familyIdsHeld(row.tdb), (std::vector<int>{6100, 6100, 6100, 6100, typId}));
        EXPECT_EQ(valuesOf(kFamilies + "Alpen").at("ID"),
                  (RegistryValue{platform::kRegBinary, {0xD4, 0x17}}));
        // The product ID stays as registered: only the family ID's word of the .TDB changed.
        Bytes index = originalTdb;
        index[5] = 0xD4;
        EXPECT_EQ(readBytes(tdbPath("Alpen")), index);
        const Bytes copy = c.typElsewhere ? Bytes{} : c.oldCopy ? Bytes{1, 2, 3} : typ;
        EXPECT_EQ(readBytes(loc + "\\Alpen.TYP.bak"), copy);
        EXPECT_EQ(row.id, 6100);
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
    } cases[] = {
        {"F", "0", nullptr, kFamilyRange},
        {"F", "65535", nullptr, kFamilyRange},
        {"F", "6002", "Families\\Topo",
         "Family ID 6002 is already used by mapset Families\\Topo. Please choose another "
         "family ID."},
        {"N", "160", "Products\\160",
         "The product code of mapset Alpen was not changed: product code 160 is already "
         "registered to another mapset (Products\\160)."},
        {"O", "160", "Products\\160",
         "The product code of mapset Alpen was not changed: product code 160 is already "
         "registered to another mapset (Products\\160)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " typed " + c.typed);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, "SOFTWARE\\Garmin\\Mapsource");
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen(c.form);
        if (row.form == "F") installFamilyFiles();
        if (c.otherKey) {
            const std::string key = "SOFTWARE\\Garmin\\Mapsource\\" + std::string(c.otherKey);
            platform::createRegistryKey(platform::kLocalMachine, key, "");
            platform::writeRegistryValue(platform::kLocalMachine, key, "ID", "6002",
                                         platform::kValueBinary, "");
        }
        const RegistryDump registry = registryDump();
        const Snapshot before = snapshot();
        EXPECT_EQ(textsAndFlags(edit(row, nullptr, c.typed)), Shown{warning(c.shown)});
        EXPECT_EQ(registryDump(), registry);
        expectUnchangedSince(before);
    }
}

} // namespace
} // namespace oxlo::editor_test
