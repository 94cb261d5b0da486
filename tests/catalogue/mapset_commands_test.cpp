// The commands of the main list's context menu on the rows of a scan, through the scripted layer,
// and the copies that every change of a key leaves.
#include "catalogue/backup_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/registry_file.h"
#include "catalogue/uninstall.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::installedMapsets;
using catalogue::runMapsetCommand;
using catalogue::scanInstalledMapsets;

class MapsetCommands : public BackupTest {
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        alps_ = folder_ + "\\Alps";
        addFamily("Alps", kRegBinary, {0x71, 0x17}, alps_, makeTdb("Alps\\Alps.TDB", 7));
        putText(kFamilies + "\\Alps\\1", "BMAP", makeFile("Alps\\Alps.IMG"));
        putText(kFamilies + "\\Alps", "TYP", typ("Alps\\Alps.TYP", 6001));
    }
    // A TYP file whose family ID (at 0x2F) is `id`.
    std::string typ(const std::string& relativePath, int id)
    {
        std::string bytes = std::string("\x5B\0GARMIN TYP", 12) + std::string(0x34, '\0');
        bytes[0x2F] = static_cast<char>(id & 0xFF);
        bytes[0x30] = static_cast<char>(id >> 8);
        return makeFile(relativePath, bytes);
    }
    // The last message shown, and the only one since the last one looked at.
    void expectMessage(const std::string& title, const std::string& text, int flags)
    {
        const auto messages = scripted::shownMessages();
        ASSERT_EQ(messages.size(), ++messagesSeen_);
        EXPECT_EQ(messages.back().title, title);
        EXPECT_EQ(messages.back().text, text);
        EXPECT_EQ(messages.back().flags, flags);
    }
    // Moves the Alps folder away so that the entry points nowhere; gives the new folder.
    std::string moveAlps()
    {
        const std::string moved = folder_ + "\\Moved";
        std::filesystem::rename(hostPath(alps_), hostPath(moved));
        return moved;
    }
    // The key as a text, to see whether it changed.
    std::string keyText(const std::string& key)
    {
        return catalogue::registryFileText(key, *catalogue::readRegistryTree(kLocalMachine, key));
    }
    // A path as a .reg file's text holds it: each backslash doubled.
    static std::string escapedForReg(const std::string& path)
    {
        std::string text;
        for (const char c : path) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return text;
    }
    // The .reg file of the family `name` as regedit writes it: "ID" 71 17 and "TYP" when given in
    // the key; "LOC" `folder`, "TDB" and "BMAP" (NAME.TDB and NAME.IMG there) and `more` in its
    // subkey 1.
    static RegSections familyFile(const std::string& name, const std::string& folder,
                                  const std::string& typ, std::vector<std::string> more = {})
    {
        const auto quoted = [](const std::string& path) { return "\"" + escapedForReg(path) + "\""; };
        const std::string key = regKeyName("Families\\" + name);
        std::vector<std::string> values = {"\"ID\"=hex:71,17"};
        if (!typ.empty()) values.push_back("\"TYP\"=" + quoted(typ));
        more.insert(more.end(), {"\"BMAP\"=" + quoted(folder + "\\" + name + ".IMG"),
                                 "\"LOC\"=" + quoted(folder),
                                 "\"TDB\"=" + quoted(folder + "\\" + name + ".TDB")});
        std::sort(more.begin(), more.end());
        return {{"Windows Registry Editor Version 5.00", {}},
                {"[-" + key + "]", {}},
                {"[" + key + "]", values},
                {"[" + key + "\\1]", more}};
    }
    RegSections alpsFile(std::vector<std::string> more = {}) const
    {
        return familyFile("Alps", alps_, alps_ + "\\Alps.TYP", std::move(more));
    }

    std::string alps_;
    std::size_t messagesSeen_ = 0;
};

TEST_F(MapsetCommands, CheckMapsetNamesTheProblemsOrSaysThereAreNone)
{
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerOk);
    runMapsetCommand(catalogue::kCheckMapsetCommand, 1);
    expectMessage("Check Mapset", "Mapset Families\\Alps has no problems.", 0x40);

    std::filesystem::remove(hostPath(alps_ + "\\Alps.IMG"));
    typ("Alps\\Alps.TYP", 6100);
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerOk);
    runMapsetCommand(catalogue::kCheckMapsetCommand, 1);
    expectMessage("Check Mapset",
                  "Mapset Families\\Alps:\nThe overview map " + alps_ +
                      "\\Alps.IMG does not exist.\nThe TYP file " + alps_ +
                      "\\Alps.TYP belongs to family ID 6100, not to this mapset's family ID 6001.",
                  0x30);
}

TEST_F(MapsetCommands, TheMenuOffersWhatFitsTheRow)
{
    const std::string moved = folder_ + "\\Gone";
    addFamily("Bern", kRegBinary, {0x72, 0x17}, moved, moved + "\\Bern.TDB");
    typ("Alps\\Alps.TYP", 6100);
    scanInstalledMapsets();
    const auto enabled = [](int row) {
        std::vector<int> commands;
        for (const auto& item : catalogue::mapsetMenu(row))
            if (item.enabled) commands.push_back(item.command);
        return commands;
    };
    EXPECT_EQ(enabled(1), (std::vector<int>{40007, 40001, 40002, 40003, 40009, 40005, 40006, 40008,
                                            40010}));
    EXPECT_EQ(enabled(2), (std::vector<int>{40007, 40001, 40003, 40004, 40006, 40008, 40010}));
    EXPECT_EQ(enabled(0), std::vector<int>{40007});
    std::vector<std::string> captions;
    for (const auto& item : catalogue::mapsetMenu(1)) captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Install Mapset...", "", "Check Mapset...",
                                                  "Open Folder",
                                                  "Locate Folder...", "Move Mapset...",
                                                  "Remove Entry...",
                                                  "Fix TYP Family ID", "Save Registry Entry...",
                                                  "Export BaseCamp Bundle...",
                                                  "Save for GPS..."}));

    // Commands that do not fit the row do nothing, also when they come without the menu.
    runMapsetCommand(catalogue::kRemoveEntryCommand, 1);
    runMapsetCommand(catalogue::kOpenFolderCommand, 2);
    runMapsetCommand(catalogue::kFixTypCommand, 2);
    EXPECT_TRUE(scripted::shownMessages().empty());
    EXPECT_TRUE(scripted::openedFolders().empty());
    runMapsetCommand(catalogue::kOpenFolderCommand, 1);
    EXPECT_EQ(scripted::openedFolders(), std::vector<std::string>{alps_});
}

TEST_F(MapsetCommands, LocateFolderPointsTheEntryAtTheMovedFolder)
{
    putText(kFamilies + "\\Alps\\1", "MDR", alps_ + "\\Alps_mdr.img");
    putText(kFamilies + "\\Alps\\1", "IDX", "D:\\Elsewhere\\Alps.mdx"); // not in the folder
    putText(kFamilies + "\\Alps\\1", "Note", alps_ + "\\readme.txt");  // not a path value
    const std::string moved = moveAlps();
    scanInstalledMapsets();
    const RegSections before =
        alpsFile({"\"IDX\"=\"D:\\\\Elsewhere\\\\Alps.mdx\"",
                  "\"MDR\"=\"" + escapedForReg(alps_) + "\\\\Alps_mdr.img\"",
                  "\"Note\"=\"" + escapedForReg(alps_) + "\\\\readme.txt\""});

    scripted::chooseNextFolder(moved + "\\");
    runMapsetCommand(catalogue::kLocateFolderCommand, 1);

    const std::string files = kFamilies + "\\Alps\\1";
    EXPECT_EQ(textValue(files, "LOC"), moved);
    EXPECT_EQ(textValue(files, "TDB"), moved + "\\Alps.TDB");
    EXPECT_EQ(textValue(files, "BMAP"), moved + "\\Alps.IMG");
    EXPECT_EQ(textValue(files, "MDR"), moved + "\\Alps_mdr.img");
    EXPECT_EQ(textValue(kFamilies + "\\Alps", "TYP"), moved + "\\Alps.TYP");
    EXPECT_EQ(textValue(files, "IDX"), "D:\\Elsewhere\\Alps.mdx");
    EXPECT_EQ(textValue(files, "Note"), alps_ + "\\readme.txt");
    EXPECT_EQ(rawValue(kFamilies + "\\Alps", "ID")->bytes, (std::vector<unsigned char>{0x71, 0x17}));
    EXPECT_TRUE(installedMapsets[1].problems.empty()) << "rescanned";
    EXPECT_TRUE(scripted::shownMessages().empty());
    const auto names = copies();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(regSections(copyText(names[0])), before);
    ASSERT_EQ(scripted::shownChoosers().size(), 1u);
    EXPECT_EQ(scripted::shownChoosers()[0].title, "Locate Folder");
}

TEST_F(MapsetCommands, LocateFolderRefusesAFolderWithoutTheIndex)
{
    moveAlps();
    makeFile("Other\\Other.TDB");
    scanInstalledMapsets();
    const std::string before = keyText(kFamilies + "\\Alps");
    scripted::chooseNextFolder(folder_ + "\\Other");
    scripted::answerNextMessage(kAnswerOk);
    runMapsetCommand(catalogue::kLocateFolderCommand, 1);
    expectMessage("Locate Folder",
                  "The folder " + folder_ + "\\Other does not hold Alps.TDB. Nothing was changed.",
                  0x30);
    EXPECT_EQ(keyText(kFamilies + "\\Alps"), before);
    EXPECT_TRUE(copies().empty());
}

TEST_F(MapsetCommands, LocateFolderTakesOnlyPathsTheScanReadsBack)
{
    for (const std::size_t length : {255u, 254u}) { // of FOLDER\Alps.TDB, .TYP and .IMG
        SCOPED_TRACE(length);
        const std::string folder = folder_ + "\\" + std::string(length - folder_.size() - 10, 'a');
        std::filesystem::create_directories(hostPath(folder));
        for (const char* file : {"\\Alps.TDB", "\\Alps.IMG", "\\Alps.TYP"}) // its own files
            std::filesystem::copy_file(hostPath(alps_ + file), hostPath(folder + file),
                                       std::filesystem::copy_options::overwrite_existing);
        scanInstalledMapsets();
        const std::string before = keyText(kFamilies + "\\Alps");
        scripted::chooseNextFolder(folder);
        if (length == 255u) scripted::answerNextMessage(kAnswerOk);
        runMapsetCommand(catalogue::kLocateFolderCommand, 1);
        if (length == 254u) break;
        expectMessage("Locate Folder", "The path " + folder + "\\Alps.TYP is longer than the 254 "
                      "characters that MapSource's registry entries can hold. Nothing was changed.",
                      0x30);
        EXPECT_EQ(keyText(kFamilies + "\\Alps"), before);
    }
    EXPECT_EQ(installedMapsets[1].tdb, installedMapsets[1].loc + "\\Alps.TDB");
    EXPECT_EQ(installedMapsets[1].tdb.size(), 254u) << "read back by the rescan";
}

TEST_F(MapsetCommands, RemoveEntryDeletesOnlyTheKeyOfAGoneFolderAfterAskingAndKeepsACopy)
{
    const std::string moved = moveAlps();
    scanInstalledMapsets();
    const RegSections before = alpsFile();
    const std::string question = "Remove the registry entry Families\\Alps? Its folder " + alps_ +
                                 " no longer exists.";

    scripted::answerNextMessage(kAnswerNo);
    runMapsetCommand(catalogue::kRemoveEntryCommand, 1);
    expectMessage("Remove Entry", question, 0x24);
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps"));
    EXPECT_TRUE(copies().empty());

    scripted::answerNextMessage(kAnswerYes);
    runMapsetCommand(catalogue::kRemoveEntryCommand, 1);
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    EXPECT_EQ(listRows(), std::vector<std::string>{});
    EXPECT_TRUE(fileExists(moved + "\\Alps.TDB")) << "no file is touched";
    const auto names = copies();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(regSections(copyText(names[0])), before);
}

TEST_F(MapsetCommands, NoCopyNoChange)
{
    struct Case {
        const char* what;
        int command;
        std::function<void()> answers;
        std::string title;
    };
    const std::vector<Case> cases = {
        {"remove entry", catalogue::kRemoveEntryCommand,
         [] { scripted::answerNextMessage(kAnswerYes); }, "Remove Entry"},
        {"locate folder", catalogue::kLocateFolderCommand,
         [this] { scripted::chooseNextFolder(folder_ + "\\Moved"); }, "Locate Folder"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        SetUp();
        moveAlps();
        scanInstalledMapsets();
        const std::string before = keyText(kFamilies + "\\Alps");
        blockCopies();
        test.answers();
        scripted::answerNextMessage(kAnswerOk);
        runMapsetCommand(test.command, 1);
        const auto messages = scripted::shownMessages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().title, test.title);
        EXPECT_EQ(messages.back().text,
                  "No copy of Families\\Alps could be saved, so it was not changed.");
        EXPECT_EQ(messages.back().flags, 0x30);
        EXPECT_EQ(keyText(kFamilies + "\\Alps"), before);
        std::filesystem::remove(hostPath(catalogue::backupFolder()));
        scripted::resetScript();
    }
}

TEST_F(MapsetCommands, FixTypKeepsACopyAndGivesTheTypTheMapsetsFamilyId)
{
    const std::string typPath = typ("Alps\\Alps.TYP", 6100);
    const std::string original = hostFileText(typPath);
    scanInstalledMapsets();
    runMapsetCommand(catalogue::kFixTypCommand, 1);
    EXPECT_EQ(hostFileText(typPath + ".bak"), original);
    std::string fixed = original;
    fixed[0x2F] = 0x71;
    fixed[0x30] = 0x17;
    EXPECT_EQ(hostFileText(typPath), fixed);
    EXPECT_TRUE(installedMapsets[1].problems.empty()) << "rescanned";
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(MapsetCommands, FixTypKeepsTheOldestCopyAndChangesOnlyATypFile)
{
    const std::string typPath = typ("Alps\\Alps.TYP", 6100);
    makeFile("Alps\\Alps.TYP.bak", "the first copy");
    scanInstalledMapsets();
    runMapsetCommand(catalogue::kFixTypCommand, 1);
    EXPECT_EQ(hostFileText(typPath + ".bak"), "the first copy") << "an existing copy stays";
    EXPECT_EQ(hostFileText(typPath).substr(0x2F, 2), "\x71\x17");

    // Replaced by another file after the scan: the command looks again before it writes.
    typ("Alps\\Alps.TYP", 6100);
    scanInstalledMapsets();
    const std::string other = std::string(0x40, '\x17');
    makeFile("Alps\\Alps.TYP", other);
    scripted::answerNextMessage(kAnswerOk);
    runMapsetCommand(catalogue::kFixTypCommand, 1);
    expectMessage("Fix TYP Family ID", typPath + " is not a TYP file, so it was not changed.", 0x30);
    EXPECT_EQ(hostFileText(typPath), other);
    EXPECT_EQ(hostFileText(typPath + ".bak"), "the first copy");
    EXPECT_FALSE(catalogue::hasProblem(installedMapsets[1], catalogue::ProblemKind::ForeignTyp));

    // Named by another family too, whose ID it holds: that family's symbols stay as they are.
    const std::string shared = typ("Alps\\Alps.TYP", 6100);
    addFamily("Topo", kRegBinary, {0xD4, 0x17}, "C:\\Topo", "C:\\Topo\\Topo.TDB");
    putText(kFamilies + "\\Topo", "TYP", shared);
    scanInstalledMapsets();
    ASSERT_TRUE(catalogue::hasProblem(installedMapsets[1], catalogue::ProblemKind::ForeignTyp));
    scripted::answerNextMessage(kAnswerOk);
    runMapsetCommand(catalogue::kFixTypCommand, 1);
    expectMessage("Fix TYP Family ID",
                  shared + " is also registered by Families\\Topo, so it was not changed.", 0x30);
    EXPECT_EQ(hostFileText(shared).substr(0x2F, 2), "\xD4\x17");
    EXPECT_EQ(hostFileText(typPath + ".bak"), "the first copy");
}

TEST_F(MapsetCommands, SaveRegistryEntryWritesTheKeyWhereTheUserChose)
{
    scanInstalledMapsets();
    const std::string file = folder_ + "\\saved.reg";
    scripted::chooseNextSaveFile(file);
    runMapsetCommand(catalogue::kSaveEntryCommand, 1);
    EXPECT_EQ(regSections(hostFileText(file)), alpsFile());
    const auto choosers = scripted::shownChoosers();
    ASSERT_EQ(choosers.size(), 1u);
    EXPECT_TRUE(choosers[0].save);
    EXPECT_EQ(choosers[0].title, "Save Registry Entry");
    EXPECT_EQ(choosers[0].defaultFile, "Alps.reg");
    EXPECT_EQ(choosers[0].pattern, "Registration entries|*.reg");

    scripted::chooseNextSaveFile(""); // Cancel
    runMapsetCommand(catalogue::kSaveEntryCommand, 1);
    EXPECT_TRUE(scripted::shownMessages().empty());
}

// Mapsets whose key and folder are named in Cyrillic, Polish or Japanese (ソ and 表 end in the
// byte 0x5C in Shift-JIS) are listed, checked, located, saved and uninstalled with every
// character of their names and paths kept.
TEST_F(MapsetCommands, NamesInAnyScriptSurviveEveryCommand)
{
    // One at a time, with the family ID that the made .TDB holds (Alps's, so Alps goes first).
    deleteRegistryTree(kLocalMachine, kFamilies + "\\Alps");
    const std::string names[] = {"Карты", "Łódź", "ソ表"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        addFamily(name, kRegBinary, {0x71, 0x17}, folder_ + "\\" + name + " Maps",
                  makeTdb(name + " Maps\\" + name + ".TDB", 7));
        putText(kFamilies + "\\" + name + "\\1", "BMAP", makeFile(name + " Maps\\" + name + ".IMG"));
        scanInstalledMapsets();
        const auto row = std::find_if(installedMapsets.begin() + 1, installedMapsets.end(),
                                      [&](const auto& r) { return r.name == name; });
        ASSERT_NE(row, installedMapsets.end());
        const int number = static_cast<int>(row - installedMapsets.begin());
        EXPECT_EQ(row->loc, folder_ + "\\" + name + " Maps");
        EXPECT_TRUE(row->problems.empty()) << "nothing is missing";

        const std::string key = kFamilies + "\\" + name;
        const std::string moved = folder_ + "\\" + name + " Moved";
        std::filesystem::rename(hostPath(row->loc), hostPath(moved));
        scanInstalledMapsets();
        const RegSections before = familyFile(name, folder_ + "\\" + name + " Maps", "");
        scripted::chooseNextFolder(moved + "\\");
        runMapsetCommand(catalogue::kLocateFolderCommand, number);
        EXPECT_EQ(textValue(key + "\\1", "LOC"), moved);
        EXPECT_EQ(textValue(key + "\\1", "TDB"), moved + "\\" + name + ".TDB");
        EXPECT_TRUE(installedMapsets[number].problems.empty());
        ASSERT_FALSE(copies().empty());
        EXPECT_EQ(regSections(copyText(copies().back())), before);

        const RegSections located = familyFile(name, moved, "");
        scripted::answerNextMessage(kAnswerYes);
        scripted::answerNextMessage(kAnswerNo);
        scripted::answerNextMessage(kAnswerOk);
        catalogue::uninstallMapset(number);
        EXPECT_FALSE(keyExists(key));
        const auto saved = copies();
        const auto copy = std::find_if(saved.begin(), saved.end(), [&](const std::string& file) {
            return file.find(" Families-" + name) != std::string::npos && regSections(copyText(file)) == located;
        });
        EXPECT_NE(copy, saved.end()) << "a copy of the located key, named after it";
        std::filesystem::remove_all(hostPath(catalogue::backupFolder()));
    }
    EXPECT_EQ(scripted::shownMessages().size(), 3 * std::size(names)) << "only the uninstalls asked";
}

TEST_F(MapsetCommands, AnUninstallLeavesACopyThatIsTheKeyAsItWas)
{
    scanInstalledMapsets();
    const RegSections before = alpsFile();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerNo);
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(1);
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    const auto names = copies();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].ends_with(" Families-Alps.reg"));
    EXPECT_EQ(regSections(copyText(names[0])), before);
}

} // namespace
} // namespace oxlo::testing
