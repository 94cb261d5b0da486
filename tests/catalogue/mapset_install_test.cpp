// Installing the downloaded mapsets that mkgmap made (tests/data/ready): the checks in their order
// with their exact texts, the entry written value by value, and the ways in (dialog and drop).
#include "catalogue/install_fixture.h"

#include "catalogue/bundle_folders.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/registry_file.h"
#include "mapfile/map_file.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;

class MapsetInstall : public InstallTest {
protected:
    // Hills copied to a folder named so that its longest stored path, FOLDER\Hills_mdr.img, has
    // `length` characters.
    std::string hillsWithLongestPath(std::size_t length)
    {
        const std::size_t name =
            length - folder_.size() - std::string("\\\\Hills_mdr.img").size();
        return readyAs("Hills", std::string(name, 'h'));
    }
};

std::vector<unsigned char> idBytes(int id)
{
    return {static_cast<unsigned char>(id & 0xFF), static_cast<unsigned char>(id >> 8)};
}

TEST_F(MapsetInstall, RegistersTheFolderWhereItLiesValueByValue)
{
    const std::string hills = ready("Hills");
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_TRUE(catalogue::installMapset(hills + "\\HILLS.TDB")); // any letter case finds it
    EXPECT_EQ(shownMessagesWithFlags(),
              (std::vector<std::string>{"Install mapset Hills (family ID 6005) from " + hills + "? [36]",
                                        "Mapset Installed. [64]"}));
    const std::string family = kFamilies + "\\Hills";
    EXPECT_EQ(valueNames(family), (std::vector<std::string>{"ID", "IDX", "MDR", "TYP"}));
    EXPECT_EQ(rawValue(family, "ID")->type, kRegBinary);
    EXPECT_EQ(rawValue(family, "ID")->bytes, idBytes(6005));
    EXPECT_EQ(textValue(family, "TYP"), hills + "\\hills.typ");
    EXPECT_EQ(textValue(family, "IDX"), hills + "\\Hills.mdx");
    EXPECT_EQ(textValue(family, "MDR"), hills + "\\Hills_mdr.img");
    EXPECT_EQ(subkeyNames(family), std::vector<std::string>{"1"});
    EXPECT_EQ(valueNames(family + "\\1"), (std::vector<std::string>{"BMAP", "LOC", "TDB"}));
    EXPECT_EQ(textValue(family + "\\1", "LOC"), hills);
    EXPECT_EQ(textValue(family + "\\1", "BMAP"), hills + "\\Hills.img");
    EXPECT_EQ(textValue(family + "\\1", "TDB"), hills + "\\Hills.tdb");
    // Rescanned, listed without a problem and selected.
    EXPECT_EQ(listRows(), std::vector<std::string>{"FID6005|Hills"});
    EXPECT_TRUE(catalogue::installedMapsets[1].problems.empty());
    EXPECT_EQ(scripted::findControl(0)->selected, 0);
}

// A registered family whose name has 255 characters, of one to four bytes each in UTF-8, is read
// past like any other: the next install goes through.
TEST_F(MapsetInstall, FamilyNamesOf255CharactersInAnyScriptStopNoInstall)
{
    std::string kanji, beyondPlane;
    for (int i = 0; i < 255; ++i) kanji += "日";
    for (int i = 0; i < 127; ++i) beyondPlane += "𠮷"; // two UTF-16 units each
    for (const std::string& name : {std::string(255, 'a'), kanji, beyondPlane + "a"}) {
        SCOPED_TRACE(std::to_string(name.size()) + " bytes");
        SetUp();
        addFamily(name, kRegBinary, idBytes(6001), folder_, folder_ + "\\Other.TDB");
        const std::string hills = ready("Hills");
        scripted::answerNextMessage(kAnswerYes);
        scripted::answerNextMessage(kAnswerOk);
        EXPECT_TRUE(catalogue::installMapset(hills + "\\Hills.tdb"));
        EXPECT_EQ(shownMessagesWithFlags().back(), "Mapset Installed. [64]");
        std::vector<std::string> families = subkeyNames(kFamilies);
        std::sort(families.begin(), families.end());
        EXPECT_EQ(families, (std::vector<std::string>{"Hills", name}));
    }
}

TEST_F(MapsetInstall, ATypOfAnotherFamilyIsStampedRegisteredAsItIsOrEndsTheInstall)
{
    struct Case {
        int answer;
        std::uint16_t typFamily; // afterwards
        bool installed;
    };
    for (const Case& c : {Case{kAnswerYes, 6006, true}, Case{kAnswerNo, 6099, true},
                          Case{kAnswerCancel, 6099, false}}) {
        SCOPED_TRACE(c.answer);
        SetUp();
        const std::string dales = ready("Dales");
        const std::string typ = dales + "\\dales.typ";
        scripted::answerNextMessage(c.answer);
        if (c.installed) {
            scripted::answerNextMessage(kAnswerYes);
            scripted::answerNextMessage(kAnswerOk);
        }
        EXPECT_EQ(catalogue::installMapset(dales + "\\Dales.tdb"), c.installed);
        const auto shown = scripted::shownMessages();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown[0].text, "The TYP file " + typ + " belongs to family ID 6099, not to 6006. "
                                 "Give it the family ID 6006? A copy is kept as " + typ + ".bak.");
        EXPECT_EQ(shown[0].flags, 0x23);
        EXPECT_EQ(mapfile::readHeaderWord(typ, 0x2F), c.typFamily);
        EXPECT_EQ(fileExists(typ + ".bak"), c.answer == kAnswerYes);
        if (!c.installed) {
            EXPECT_EQ(catalogueText(), "");
            continue;
        }
        // Product ID 3: its files under the subkey "3", which the scan reads.
        EXPECT_EQ(subkeyNames(kFamilies + "\\Dales"), std::vector<std::string>{"3"});
        EXPECT_EQ(textValue(kFamilies + "\\Dales\\3", "LOC"), dales);
        EXPECT_EQ(textValue(kFamilies + "\\Dales", "TYP"), typ);
        EXPECT_EQ(valueNames(kFamilies + "\\Dales"), (std::vector<std::string>{"ID", "TYP"}));
        ASSERT_EQ(catalogue::mapsetCount, 1);
        EXPECT_EQ(catalogue::installedMapsets[1].tdb, dales + "\\Dales.tdb");
        EXPECT_EQ(catalogue::installedMapsets[1].problems.size(), c.answer == kAnswerYes ? 0u : 1u);
    }
}

TEST_F(MapsetInstall, EachCheckRefusesWithItsTextAndWritesNothing)
{
    struct Case {
        const char* what;
        std::function<std::string()> prepare; // gives the .TDB to install
        std::vector<int> answers;              // to the questions before the refusal
        std::function<std::string()> text;     // of the last message
        int flags;
    };
    std::string hills;
    const auto hillsTdb = [&] { return (hills = ready("Hills")) + "\\Hills.tdb"; };
    // Hills.tdb with `bytes` written at `at`: its family ID at 5, its family name "Hills" at 24.
    const auto hillsPatched = [&](std::streamoff at, const std::string& bytes) {
        const std::string tdb = hillsTdb();
        std::fstream(hostPath(tdb), std::ios::in | std::ios::out | std::ios::binary).seekp(at)
            << bytes;
        return tdb;
    };
    const auto hillsSays = [&](const std::string& text) { return hills + "\\Hills.tdb " + text; };
    const std::string ids = "; MapSource reads family IDs 1 to 65534.";
    const std::vector<Case> cases = {
        {"not an index", [&] { return makeFile("Junk\\junk.tdb", std::string(40, 'P')); }, {},
         [&] { return folder_ + "\\Junk\\junk.tdb is not a mapset index file."; }, 0x30},
        {"a blank after the name", [&] { return hillsPatched(28, " "); }, {},
         [&] {
             return hillsSays("holds the mapset name \"Hill \"; MapSource's registry takes names of "
                              "1 to 255 characters without a backslash or a blank at either end.");
         },
         0x30},
        {"family ID 0", [&] { return hillsPatched(5, std::string(2, '\0')); }, {},
         [&] { return hillsSays("holds family ID 0" + ids); }, 0x30},
        {"family ID 65535", [&] { return hillsPatched(5, "\xFF\xFF"); }, {},
         [&] { return hillsSays("holds family ID 65535" + ids); }, 0x30},
        {"several indexes",
         [&] {
             makeFile("Two\\b.tdb");
             makeFile("Two\\a.tdb");
             return folder_ + "\\Two\\";
         },
         {},
         [&] {
             return folder_ + "\\Two holds several mapset index files: a.tdb, b.tdb. Please "
                              "choose one.";
         },
         0x30},
        {"a path beyond the registry's", [&] { return hillsWithLongestPath(255); }, {},
         [&] {
             return "The path " + folder_ + "\\" + std::string(255 - folder_.size() - 15, 'h') +
                    "\\Hills_mdr.img is longer than the 254 characters that MapSource's registry "
                    "entries can hold. Please move the mapset to a folder with a shorter path.";
         },
         0x30},
        {"overview missing",
         [&] {
             const std::string tdb = hillsTdb();
             std::filesystem::remove(hostPath(hills + "\\Hills.img"));
             return tdb;
         },
         {}, [&] { return "The overview map Hills.img is missing beside " + hills + "\\Hills.tdb."; },
         0x30},
        {"a map removed", [&] { return ready("Moors") + "\\Moors.tdb"; }, {},
         [&] {
             return folder_ + "\\Moors lacks 1 of the mapset's 3 maps, the first being 63270002.img.";
         },
         0x30},
        {"family ID used",
         [&] {
             addFamily("Other", kRegBinary, idBytes(6005), folder_, folder_ + "\\Other.TDB");
             return hillsTdb();
         },
         {},
         [] {
             return std::string("Family ID 6005 of mapset Hills is already used by mapset "
                                "Families\\Other. Change the family ID of one of them with Edit "
                                "first.");
         },
         0x30},
        {"family ID used by a bundle",
         [&] {
             const std::string info = infoOf("Clash", 6005);
             addBundle(platform::KnownFolder::ProgramData, "Clash.gmap", &info);
             return hillsTdb();
         },
         {},
         [] {
             return std::string("Family ID 6005 of mapset Hills is already used by the BaseCamp "
                                "bundle Maps\\Clash.gmap.");
         },
         0x30},
        {"its index registered by another entry",
         [&] {
             const std::string tdb = hillsTdb();
             addProduct("150", hills, tdb);
             return tdb;
         },
         {}, [&] { return "Mapset Hills is already installed as Products\\150 (" + hills +
                          "\\Hills.tdb)."; },
         0x30},
        {"a TYP of another family ID that another family registers",
         [&] {
             hills = ready("Dales");
             addFamily("Other", kRegBinary, idBytes(6100), folder_, folder_ + "\\Other.TDB");
             putText(kFamilies + "\\Other", "TYP", hills + "\\dales.typ");
             return hills + "\\Dales.tdb";
         },
         {},
         [&] {
             return "The TYP file " + hills + "\\dales.typ belongs to family ID 6099, not to 6006, "
                    "and is registered by Families\\Other too. Nothing was installed.";
         },
         0x30},
        {"not replaced",
         [&] {
             addFamily("hills", kRegBinary, idBytes(6005), folder_, folder_ + "\\Old.TDB");
             return hillsTdb();
         },
         {kAnswerNo},
         [] {
             return std::string("Mapset Hills is already installed (Families\\hills). Replace its "
                                "registry entry? Its files stay where they are.");
         },
         0x24},
        {"not confirmed", hillsTdb, {kAnswerNo},
         [&] { return "Install mapset Hills (family ID 6005) from " + hills + "?"; }, 0x24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        clearBundleFolders();
        const std::string tdb = c.prepare();
        const std::string before = catalogueText();
        for (int answer : c.answers) scripted::answerNextMessage(answer);
        if (c.flags == 0x30) scripted::answerNextMessage(kAnswerOk);
        EXPECT_FALSE(catalogue::installMapsetAt(tdb));
        const auto shown = scripted::shownMessages();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().title, "Install Mapset");
        EXPECT_EQ(shown.back().text, c.text());
        EXPECT_EQ(shown.back().flags, c.flags);
        EXPECT_EQ(catalogueText(), before);
        EXPECT_TRUE(copies().empty());
    }
    clearBundleFolders();
}

TEST_F(MapsetInstall, WhatTheRulesTakeIsRegisteredAndTheScanReadsItBack)
{
    struct Case {
        const char* what;
        std::function<std::string()> prepare; // gives the path to install
        std::string key;
    };
    std::string hills;
    const std::vector<Case> cases = {
        // mkgmap --code-page=1252 writes the family name with the byte 0xD6.
        {"a name in the ANSI code page", [&] { return ready("Oesterreich"); }, "\xC3\x96sterreich"},
        {"the longest path the registry holds", [&] { return hills = hillsWithLongestPath(254); },
         "Hills"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        const std::string path = c.prepare();
        scripted::answerNextMessage(kAnswerYes);
        scripted::answerNextMessage(kAnswerOk);
        EXPECT_TRUE(catalogue::installMapsetAt(path));
        EXPECT_EQ(subkeyNames(kFamilies), std::vector<std::string>{c.key});
        ASSERT_EQ(catalogue::mapsetCount, 1);
        const catalogue::InstalledMapset& row = catalogue::installedMapsets[1];
        EXPECT_EQ(row.name, c.key);
        EXPECT_TRUE(row.problems.empty()) << catalogue::problemLines(row);
    }
}

TEST_F(MapsetInstall, TheMenuItemAsksForTheIndexAndDropsInstallEachIndexInTurn)
{
    const std::string hills = ready("Hills");
    scripted::chooseNextFiles({hills + "\\Hills.tdb"});
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    catalogue::runMapsetCommand(catalogue::kInstallMapsetCommand, 0);
    ASSERT_EQ(scripted::shownChoosers().size(), 1u);
    EXPECT_EQ(scripted::shownChoosers()[0].title, "Install Mapset");
    EXPECT_EQ(scripted::shownChoosers()[0].pattern, "Mapset index (*.tdb)|*.TDB");
    EXPECT_TRUE(keyExists(kFamilies + "\\Hills"));

    // A folder with one index, an index, a folder of two, and a file that is neither.
    cleanMapsource();
    const std::string dales = ready("Dales");
    makeFile("Two\\a.tdb");
    makeFile("Two\\b.tdb");
    for (int answer : {kAnswerYes, kAnswerOk, kAnswerNo, kAnswerYes, kAnswerOk, kAnswerOk, kAnswerOk})
        scripted::answerNextMessage(answer);
    catalogue::installDroppedMapsets(
        {hills + "\\", hills + "\\63250001.img", dales + "\\Dales.tdb", folder_ + "\\Two"});
    EXPECT_EQ(subkeyNames(kFamilies), (std::vector<std::string>{"Dales", "Hills"}));
    const auto shown = shownMessagesWithFlags();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2],
              folder_ + "\\Two holds several mapset index files: a.tdb, b.tdb. Please choose one. [48]");
    EXPECT_EQ(shown.back(), "Please drop a mapset index file (.TDB) or a folder that holds one. [48]");
    EXPECT_EQ(scripted::findControl(0)->selected, 0); // Dales, installed last
}

} // namespace
} // namespace oxlo::testing
