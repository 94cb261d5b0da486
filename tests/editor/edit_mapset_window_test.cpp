// The Edit Mapset window through the scripted window layer, over the target's own file system and
// registry (POSIX and the in-memory registry natively, Win32 under Wine).
#include "edit_fixture.h"

#include "resources/shared_resources.h"
#include "editor/edit_mapset_window.h"
#include "platform/registry.h"
#include "platform/services.h"

#include "file_locks.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <utility>

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;
using platform::ControlKind;

#ifdef _WIN32
// MapSource reads the 32-bit view: the key must be there and not in the 64-bit view.
void expectOnlyIn32BitView(const std::string& key) {
    for (const auto& [view, present] : {std::pair{KEY_WOW64_32KEY, true}, {KEY_WOW64_64KEY, false}}) {
        HKEY handle = nullptr;
        const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &handle);
        EXPECT_EQ(status == ERROR_SUCCESS, present) << key << " view " << view;
        if (status == ERROR_SUCCESS) RegCloseKey(handle);
    }
}
#else
void expectOnlyIn32BitView(const std::string&) {}
#endif

TEST_F(EditMapsetTest, WindowHasItsSevenControlsInOrder) {
    editor::openEditMapsetWindow();
    const scripted::WindowRecord* window = scripted::findWindow(2);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title, "Edit Mapset");
    EXPECT_EQ(std::pair(window->width, window->height), std::pair(437, 162));
    EXPECT_EQ(window->flags, platform::kWindowTitleBar | platform::kWindowCentreActive);

    struct Expected {
        int number;
        ControlKind kind;
        const char* caption;
        int x, y, w, h;
        bool labelFont;
        unsigned options;
    };
    const Expected expected[] = {
        {0, ControlKind::Label, "Mapset Name", 20, 35, 120, 20, true, 0},
        {1, ControlKind::Field, "", 140, 35, 265, 20, false, 0},
        {2, ControlKind::Field, "", 140, 60, 40, 20, false, platform::kControlDigitsOnly},
        {3, ControlKind::Label, "Family ID", 20, 60, 120, 20, true, 0},
        {5, ControlKind::Button, "Edit Mapset", 95, 110, 100, 35, false, 0},
        {6, ControlKind::Frame, "Mapset Information ", 10, 15, 410, 80, false, 0},
        {7, ControlKind::Button, "Cancel", 230, 110, 100, 35, false, 0},
    };
    const auto controls = scripted::liveControls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& c = controls[i];
        const auto& e = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i) + " caption " + e.caption);
        EXPECT_EQ(c.number, e.number);
        EXPECT_EQ(c.window, 2);
        EXPECT_EQ(c.kind, e.kind);
        EXPECT_EQ(c.text, e.caption);
        EXPECT_EQ((std::vector{c.x, c.y, c.width, c.height}), (std::vector{e.x, e.y, e.w, e.h}));
        EXPECT_EQ(c.font, e.labelFont ? resources::labelFont : 0);
        EXPECT_EQ(c.options, e.options);
        EXPECT_EQ(c.toolTip, "");
    }
}

TEST_F(EditMapsetTest, WindowThatCannotOpenHasNoControlsAndNoLoop) {
    scripted::refuseWindow(2, true);
    editor::openEditMapsetWindow();
    EXPECT_TRUE(scripted::liveControls().empty());
    scripted::queueControlEvent(5);
    editor::runEditMapsetWindow(1); // would wait forever for a window that is not there
    EXPECT_EQ(scripted::pendingSteps(), 1);
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(EditMapsetTest, CancelAndCloseRequestChangeNothing) {
    for (const int press : {7, -1}) {
        SCOPED_TRACE(press == 7 ? "Cancel" : "close request");
        scripted::resetScript();
        InstalledMapset row = installAlpen("N");
        const Snapshot before = snapshot();
        const InstalledMapset rowBefore = row;
        // Typing fires the fields' own events, which the loop must ignore.
        EXPECT_TRUE(edit(row, "Alps", "175", press).empty());
        expectUnchangedSince(before);
        EXPECT_EQ(row.tdb, rowBefore.tdb);
    }
}

TEST_F(EditMapsetTest, UnchangedFieldsWriteNothingAndStillReport) {
    for (const char* form : {"N", "F"}) { // a family ID like 6001 is no product code to refuse
        SCOPED_TRACE(form);
        scripted::resetScript();
        InstalledMapset row = installAlpen(form);
        const Snapshot before = snapshot();
        EXPECT_EQ(edit(row, nullptr, nullptr), Shown{kEdited});
        expectUnchangedSince(before);
    }
}

TEST_F(EditMapsetTest, LongerNameIsRefusedAndTheNumberStepStillRuns) {
    InstalledMapset row = installAlpen("N");
    const Snapshot before = snapshot();
    EXPECT_EQ(edit(row, "Alpenx", "160"), (Shown{warning(kLonger)}));
    const Snapshot after = snapshot();
    EXPECT_EQ(after.files, before.files);
    EXPECT_EQ(valuesOf(kProducts + "160"), before.products150);
    EXPECT_EQ(after.products, std::vector<std::string>{"160"});
    EXPECT_EQ(productCodeOf(after.index), 160);
    EXPECT_EQ(storedNameOf(after.index), "Alpen");
}

TEST_F(EditMapsetTest, AlpenBecomesAlpsUnderProductsKeyRebuilt) {
    InstalledMapset row = installAlpen("N");
    platform::writeRegistryValue(platform::kLocalMachine, kProducts + "150", "Stale", "x", 1, "");
    const Bytes map = readBytes(mapPath("Alpen"));

    EXPECT_EQ(edit(row, "Alps", nullptr), Shown{kEdited});

    EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"Alps.IMG", "Alps.TDB"}));
    EXPECT_EQ(readBytes(mapPath("Alps")), map);
    expectOnlyNameChanged(originalTdb, readBytes(tdbPath("Alps")), "Alps", 5);
    EXPECT_EQ(valuesOf(kProducts + "150"), productValues(loc, "Alps"));
    EXPECT_EQ(subkeysOf(kProducts), std::vector<std::string>{"150"});
    EXPECT_EQ(row.tdb, tdbPath("Alps"));
    expectOnlyIn32BitView(kProducts + "150");
}

TEST_F(EditMapsetTest, ProductRowsEndUnderTheirCodeWhicheverKeyTheyWereReadFrom) {
    // "O": the old-form key named Alpen; "N" read from a key whose name is not the code in the
    // .TDB: the key the scan read is the one replaced.
    for (const auto& [form, keyName] : {std::pair{"O", "Alpen"}, std::pair{"N", "1234"}}) {
        SCOPED_TRACE(keyName);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        InstalledMapset row = installAlpen(form);
        if (row.keyName != keyName) {
            platform::deleteRegistryTree(platform::kLocalMachine, kProducts + row.keyName);
            platform::createRegistryKey(platform::kLocalMachine, kProducts + keyName, "");
            row.keyName = keyName;
        }
        EXPECT_EQ(edit(row, "Alps", nullptr), Shown{kEdited});
        EXPECT_FALSE(keyExists(kProducts + keyName));
        EXPECT_EQ(subkeysOf(kProducts), std::vector<std::string>{"150"});
        EXPECT_EQ(valuesOf(kProducts + "150"), productValues(loc, "Alps"));
        // Back to Alpen for the next round.
        platform::renameFile(mapPath("Alps"), mapPath("Alpen"));
        platform::renameFile(tdbPath("Alps"), tdbPath("Alpen"));
    }
}

TEST_F(EditMapsetTest, RenamedFamilyIsRegisteredAfreshWithEveryValue) {
    for (const char* newName : {"Alps", "ALPEN"}) { // ALPEN: registry key names ignore case
        SCOPED_TRACE(newName);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen("F");
        addFamilyExtras(loc);
        KeyValues family = valuesOf(kFamilies + "Alpen");
        ASSERT_EQ(family.at("ID"), (RegistryValue{platform::kRegBinary, {0x71, 0x17}}));
        KeyValues product1 = valuesOf(kFamilies + "Alpen\\1");
        const KeyValues product2 = valuesOf(kFamilies + "Alpen\\2");

        EXPECT_EQ(edit(row, newName, nullptr), Shown{kEdited});

        const std::string key = kFamilies + newName;
        EXPECT_EQ(subkeysOf(kFamilies), std::vector<std::string>{newName});
        EXPECT_EQ(valuesOf(key), family);
        for (auto& [name, value] : productValues(loc, newName)) product1[name] = value;
        EXPECT_EQ(valuesOf(key + "\\1"), product1);
        EXPECT_EQ(valuesOf(key + "\\2"), product2);
        EXPECT_EQ(subkeysOf(key), (std::vector<std::string>{"1", "2"}));
        EXPECT_EQ(namesIn(loc),
                  (std::vector<std::string>{std::string(newName) + ".IMG", std::string(newName) + ".TDB"}));
        EXPECT_TRUE(subkeysOf(kProducts).empty());
        expectOnlyIn32BitView(key);
    }
}

TEST_F(EditMapsetTest, FamilyIsNotRenamedOntoAnotherInstalledFamily) {
    InstalledMapset row = installAlpen("F");
    platform::createRegistryKey(platform::kLocalMachine, kFamilies + "Alps", "");
    platform::writeRegistryValue(platform::kLocalMachine, kFamilies + "Alps", "ID", "6002", 3, "");
    const KeyValues other = valuesOf(kFamilies + "Alps");
    const Snapshot before = snapshot();
    EXPECT_EQ(edit(row, "Alps", nullptr),
              (Shown{warning("A mapset named Alps is already installed. Please use another name.")}));
    expectUnchangedSince(before);
    EXPECT_EQ(valuesOf(kFamilies + "Alps"), other);
}

TEST_F(EditMapsetTest, LetterCaseChangeRenamesProductMapset) {
    InstalledMapset row = installAlpen("N");
    EXPECT_EQ(edit(row, "ALPEN", nullptr), Shown{kEdited});
    EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"ALPEN.IMG", "ALPEN.TDB"}));
    expectOnlyNameChanged(originalTdb, readBytes(tdbPath("ALPEN")), "ALPEN", 5);
    EXPECT_EQ(valuesOf(kProducts + "150"), productValues(loc, "ALPEN"));
}

TEST_F(EditMapsetTest, ShorterNameIsPaddedWithBlanksUpToTheOldLength) {
    InstalledMapset row = installAlpen("N");
    EXPECT_EQ(edit(row, "Alp", nullptr), Shown{kEdited});
    const Bytes tdb = readBytes(tdbPath("Alp"));
    expectOnlyNameChanged(originalTdb, tdb, "Alp", 5);
    // Readers take the name up to its NUL, which stays where it was, as do the bytes after it.
    EXPECT_EQ(storedNameOf(tdb), "Alp  ");
}

TEST_F(EditMapsetTest, ProductCodeIsWrittenOnlyFrom100To200) {
    const struct {
        const char* typed;
        int stored; // 150: refused
    } cases[] = {{"100", 100}, {"200", 200}, {"99", 150}, {"201", 150}, {"", 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        scripted::resetScript();
        // The key the case before moved the mapset to would register its index too.
        platform::deleteRegistryTree(platform::kLocalMachine, kProducts + "100");
        InstalledMapset row = installAlpen("N");
        const bool refused = c.stored == 150;
        // A refused number is put back into the field before the window ends.
        EXPECT_EQ(numberFieldAtFirstBox(row, c.typed), refused ? "150" : c.typed);
        const Shown expectedShown = refused ? Shown{warning(kRange)} : Shown{kEdited};
        EXPECT_EQ(textsAndFlags("Edit Mapset"), expectedShown);
        Bytes expected = originalTdb;
        expected[3] = static_cast<std::uint8_t>(c.stored);
        EXPECT_EQ(readBytes(tdbPath("Alpen")), expected);
    }
}

TEST_F(EditMapsetTest, RenameAndNewNumberInOnePressGoIntoTheRenamedIndex) {
    InstalledMapset row = installAlpen("N");
    EXPECT_EQ(edit(row, "Alps", "175"), Shown{kEdited});
    const Bytes tdb = readBytes(tdbPath("Alps"));
    EXPECT_EQ(productCodeOf(tdb), 175);
    EXPECT_EQ(storedNameOf(tdb), "Alps ");
    EXPECT_EQ(namesIn(loc), (std::vector<std::string>{"Alps.IMG", "Alps.TDB"}));
    // The entry follows the code of its .TDB.
    EXPECT_EQ(subkeysOf(kProducts), std::vector<std::string>{"175"});
    EXPECT_EQ(valuesOf(kProducts + "175"), productValues(loc, "Alps"));
}

TEST_F(EditMapsetTest, NamesThatCannotBeFolderNamesAreRefused) {
    // Device names too: on Windows they name a device in every folder, with any extension.
    for (const std::string name : {"", ".", "..", "A<", "A>", "A:", "A\"", "A|", "A?", "A*",
                                   "Alp.", "Alp ", "A\x01", "A\x1F", "A/p", "A\\p", "CON",
                                   "prn", "Aux", "nul", "COM1", "com9", "LPT1", "lpt9", "CON.x",
                                   "Nul.a", " Alp"}) {
        SCOPED_TRACE("name '" + name + "'");
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        InstalledMapset row = installAlpen("N");
        Snapshot before = snapshot();
        EXPECT_EQ(edit(row, name.c_str(), "120"),
                  (Shown{warning(kFolderName)}));
        // Nothing of the name changed; the number step went on.
        before.index[3] = 120;
        before.products150.clear();
        before.products = {"120"};
        expectUnchangedSince(before);
    }
}

TEST_F(EditMapsetTest, RenameNeedsBothFilesFreeToMove) {
    const struct {
        const char* situation;
        const char* remove;
        const char* block;
    } cases[] = {{"no map", "Alpen.IMG", nullptr},
                 {"no index", "Alpen.TDB", nullptr},
                 {"map name taken", nullptr, "Alps.IMG"},
                 {"index name taken", nullptr, "Alps.TDB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        scripted::resetScript();
        for (const auto& name : namesIn(loc)) platform::deleteFile(loc + "\\" + name);
        InstalledMapset row = installAlpen("N");
        if (c.remove) platform::deleteFile(loc + "\\" + c.remove);
        if (c.block) writeBytes(loc + "\\" + c.block, {1, 2, 3});
        const Snapshot before = snapshot();
        const Bytes blocker = c.block ? readBytes(loc + "\\" + c.block) : Bytes{};
        EXPECT_EQ(edit(row, "Alps", nullptr),
                  (Shown{warning("Cannot rename the mapset files in " + loc + ".")}));
        expectUnchangedSince(before);
        if (c.block) {
            EXPECT_EQ(readBytes(loc + "\\" + c.block), blocker);
        }
        EXPECT_EQ(row.tdb, tdbPath("Alpen"));
    }
}

TEST_F(EditMapsetTest, FailedIndexRenameUndoesTheMapRename) {
    InstalledMapset row = installAlpen("N");
    const Snapshot before = snapshot();
    {
        // The checks before the renames pass; only the system refuses to move the index.
        const PinnedFile pin(tdbPath("Alpen"));
        if (!pin.pinned()) GTEST_SKIP() << "this system lets no test pin a file in place";
        EXPECT_EQ(edit(row, "Alps", nullptr),
                  (Shown{warning("Cannot rename the mapset files in " + loc + ".")}));
    }
    expectUnchangedSince(before);
    EXPECT_EQ(row.tdb, tdbPath("Alpen"));
}

TEST_F(EditMapsetTest, ProductCodeNeverCreatesAMissingIndex) {
    InstalledMapset row = installAlpen("N");
    platform::deleteFile(tdbPath("Alpen"));
    EXPECT_EQ(edit(row, nullptr, "120"),
              (Shown{warning("The product code could not be written to " + tdbPath("Alpen") + ".")}));
    EXPECT_EQ(platform::fileSize(tdbPath("Alpen")), platform::kNoSuchPath);
    EXPECT_EQ(namesIn(loc), std::vector<std::string>{"Alpen.IMG"});
}

} // namespace
} // namespace oxlo::editor_test
