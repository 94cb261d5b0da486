// How long a new name may be, how the .TDB stores it, and which product keys a rename must not
// take over; over the target's own files and registry.
#include "edit_fixture.h"

#include "mapfile/map_file.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;

// The room for the name in the .TDB is that of the name stored there, not of the file's name.
TEST_F(EditMapsetTest, NewNameIsLimitedByTheNameStoredInTheIndex) {
    const struct {
        const char* file;    // the mapset's file name
        const char* data;    // its .TDB, from tests/data
        const char* stored;  // the name stored in it
        const char* newName;
        bool taken;
    } cases[] = {
        {"TopoGermany", "topo.tdb", "Topo", "TopoDE", false},
        {"TopoGermany", "topo.tdb", "Topo", "Topo1", false},
        {"TopoGermany", "topo.tdb", "Topo", "TOPO", true},
        {"TopoGermany", "topo.tdb", "Topo", "TG", true},
        {"Alp", "alpen.tdb", "Alpen", "Alpes", true},
        {"Alp", "alpen.tdb", "Alpen", "Alpes1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " to " + c.newName);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        const Bytes tdb = testData(c.data);
        ASSERT_EQ(storedNameOf(tdb), c.stored);
        const std::string code = platform::textFromNumber(productCodeOf(tdb));
        InstalledMapset row = installProduct(loc, c.file, tdb, code);
        const auto registryBefore = registryDump();
        const std::string file(c.file);

        if (!c.taken) {
            EXPECT_EQ(edit(row, c.newName, nullptr),
                      (Shown{warning(kLonger)}));
            EXPECT_EQ(registryDump(), registryBefore);
            EXPECT_EQ(namesIn(loc), (std::vector<std::string>{file + ".IMG", file + ".TDB"}));
            EXPECT_EQ(readBytes(loc + "\\" + file + ".TDB"), tdb);
            continue;
        }
        EXPECT_EQ(edit(row, c.newName, nullptr), Shown{kEdited});
        const std::string newName(c.newName);
        EXPECT_EQ(namesIn(loc), (std::vector<std::string>{newName + ".IMG", newName + ".TDB"}));
        expectOnlyNameChanged(tdb, readBytes(tdbPath(newName)), newName,
                              std::string(c.stored).size());
        EXPECT_EQ(valuesOf(kProducts + code), productValues(loc, newName));
    }
}

// The renamed index and overview map must keep within the path the scan reads back.
TEST_F(EditMapsetTest, NewNameKeepsThePathsWithinWhatTheRegistryHolds) {
    for (const std::size_t length : {255u, 254u}) { // of the new LOC\Alpes.TDB
        SCOPED_TRACE(length);
        scripted::resetScript();
        const std::string folder = loc + "\\" + std::string(length - loc.size() - 11, 'l');
        platform::createDirectory(folder);
        InstalledMapset row = installProduct(folder, "Alp", testData("alpen.tdb"), "150");
        const auto refusal = "The path " + folder + "\\Alpes.TDB is longer than the 254 characters "
                             "that MapSource's registry entries can hold. Please use a shorter name.";
        EXPECT_EQ(edit(row, "Alpes", nullptr),
                  length == 255u ? Shown{warning(refusal)} : Shown{kEdited});
        EXPECT_EQ(namesIn(folder), (std::vector<std::string>{length == 255u ? "Alp.IMG" : "Alpes.IMG",
                                                              length == 255u ? "Alp.TDB" : "Alpes.TDB"}));
    }
}

// Village.TDB holds product code 152, but the mapset was registered under another key, and
// Products\152 belongs to another mapset: renaming must not replace that mapset's entry.
TEST_F(EditMapsetTest, RenameNeverTakesOverAnotherMapsetsProductKey) {
    for (const char* keyName : {"999", "Village"}) { // a numeric key, and the old form
        SCOPED_TRACE(keyName);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        const std::string otherFolder = loc + "\\Other";
        platform::createDirectory(otherFolder);
        installProduct(otherFolder, "Other", testData("alpen.tdb"), "152");
        const Bytes village = testData("village.tdb");
        ASSERT_EQ(productCodeOf(village), 152);
        InstalledMapset row = installProduct(loc, "Village", village, keyName);
        const auto registryBefore = registryDump();

        EXPECT_EQ(edit(row, "Vill", "170"),
                  (Shown{warning("Mapset Village was not renamed: product code 152 is already "
                                 "registered to another mapset (Products\\152).")}));
        // The number step went on, and the entry followed the new code.
        EXPECT_EQ(registryDump(), withProductKeyMoved(registryBefore, keyName, "170"));
        EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"Other", "Village.IMG", "Village.TDB"}));
        Bytes expected = village;
        expected[3] = 170;
        expected[4] = 0;
        EXPECT_EQ(readBytes(tdbPath("Village")), expected);
    }
}

// A code of 0 or below names no product key: an old-form row would end under Products\0.
TEST_F(EditMapsetTest, RenameNeedsAValidProductCode) {
    const struct {
        std::uint8_t low, high;
        const char* shown;
    } codes[] = {{0x00, 0x00, "0"}, {0xFE, 0xFF, "-2"}};
    for (const auto& code : codes) {
        for (const char* keyName : {"Alpen", "999"}) {
            SCOPED_TRACE(std::string(keyName) + " code " + code.shown);
            scripted::resetScript();
            platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
            Bytes tdb = testData("alpen.tdb");
            tdb[3] = code.low;
            tdb[4] = code.high;
            InstalledMapset row = installProduct(loc, "Alpen", tdb, keyName);
            const auto registryBefore = registryDump();

            EXPECT_EQ(edit(row, "Alps", "120"),
                      (Shown{warning(std::string("Mapset Alpen was not renamed: its .TDB file holds "
                                                 "no valid product code (") +
                                     code.shown + ").")}));
            EXPECT_EQ(registryDump(), withProductKeyMoved(registryBefore, keyName, "120"));
            EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"Alpen.IMG", "Alpen.TDB"}));
            tdb[3] = 120;
            tdb[4] = 0;
            EXPECT_EQ(readBytes(tdbPath("Alpen")), tdb);
        }
    }
}

// The .TDB keeps its name in the system's ANSI code page (Windows-1252 here and in a Western Wine
// prefix): a name it cannot hold is refused before anything changes, one it can hold goes in as
// those bytes, each letter one byte.
TEST_F(EditMapsetTest, ANewNameMustFitTheCodePageOfTheIndex) {
    for (const char* refused : {"Łódź", "Карты", "ソ表"}) {
        SCOPED_TRACE(refused);
        InstalledMapset row = installAlpen("N");
        const Snapshot before = snapshot();
        const Shown shown = edit(row, refused, nullptr);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front(), warning("Mapset Alpen was not renamed: " + std::string(refused) +
                                         " has letters that its index file cannot hold."));
        expectUnchangedSince(before);
        scripted::resetScript();
    }
    InstalledMapset row = installAlpen("N");
    EXPECT_EQ(edit(row, "Zürß", nullptr), Shown{kEdited});
    EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"Zürß.IMG", "Zürß.TDB"}));
    EXPECT_EQ(storedNameOf(readBytes(tdbPath("Zürß"))), "Z\xFCr\xDF ");
    EXPECT_EQ(mapfile::readStoredName(tdbPath("Zürß")), "Zürß ");
}

} // namespace
} // namespace oxlo::editor_test
