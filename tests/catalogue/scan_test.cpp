// The catalogue scan and the repair of old-form product keys, through the scripted window layer.
#include "catalogue/catalogue_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::installedMapsets;
using catalogue::mapsetCount;
using catalogue::scanInstalledMapsets;
using Rows = std::vector<std::string>;

std::string incompatible(const std::string& key)
{
    return "Mapset " + key + " is incompatible with Mapsource 6.14.1 or later. Fix?";
}

struct ExpectedRow {
    std::string name, branch;
    int id;
    std::string loc, tdb, form, keyName;
};

void expectRow(int slot, const ExpectedRow& expected)
{
    SCOPED_TRACE("slot " + std::to_string(slot));
    const auto& row = installedMapsets[slot];
    EXPECT_EQ(row.name, expected.name);
    EXPECT_EQ(row.branch, expected.branch);
    EXPECT_EQ(row.id, expected.id);
    EXPECT_EQ(row.loc, expected.loc);
    EXPECT_EQ(row.tdb, expected.tdb);
    EXPECT_EQ(row.form, expected.form);
    EXPECT_EQ(row.keyName, expected.keyName);
}

using CatalogueScan = CatalogueTest;

TEST_F(CatalogueScan, TheListIsFilledWhileItsDrawingIsHeldAndDrawnOnceAtTheEnd)
{
    addFamily("Alps", kRegBinary, {0x71, 0x17}, "C:\\Alps", "C:\\Alps\\Alps.TDB");
    addFamily("Bern", kRegBinary, {0x72, 0x17}, "C:\\Bern", "C:\\Bern\\Bern.TDB");
    addProduct("152", folder_, makeTdb("Topo.TDB", 152));
    scanInstalledMapsets();
    scanInstalledMapsets();
    const scripted::ControlRecord* list = scripted::findControl(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rows.size(), 3u);
    EXPECT_EQ(list->rowsAddedWhileHeld, 6) << "every row of both scans, none drawn one by one";
    EXPECT_FALSE(list->drawingHeld) << "the filled list must be drawn";
}

TEST_F(CatalogueScan, EmptyCatalogueShowsNoRowsAndZeroInstalledMapsets)
{
    installedMapsets[3].name = "left over";
    mapsetCount = 42;
    scanInstalledMapsets();
    EXPECT_EQ(listRows(), Rows{});
    EXPECT_EQ(label(), "0 Installed Mapsets");
    EXPECT_EQ(mapsetCount, 0);
    EXPECT_EQ(installedMapsets[3].name, "");

    putKey(kFamilies); // branches present but empty
    putKey(kProducts);
    scanInstalledMapsets();
    EXPECT_EQ(label(), "0 Installed Mapsets");
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(CatalogueScan, FamiliesComeBeforeProductsWithTheirCodeTexts)
{
    const std::string topo = makeTdb("Topo\\Topo.TDB", 152);
    // Products are registered first: the list still starts with the families.
    addProduct("1234", folder_ + "\\Topo", topo);
    addFamily("Alps", kRegBinary, {0x71, 0x17}, "C:\\Maps\\Alps", "C:\\Maps\\Alps\\Alps.TDB");
    addFamily("Dolomites", kRegDword, {0x72, 0x17, 0, 0}, "C:\\Maps\\Dol", "C:\\Maps\\Dol\\D.TDB");
    putKey(kFamilies + "\\NoValues");
    addFamily("Pyrenees", kRegSz, textBytes("6003"), "", "");

    scanInstalledMapsets();

    EXPECT_EQ(listRows(), (Rows{"FID6001|Alps", "FID6002|Dolomites", "FID0|NoValues",
                                "FID6003|Pyrenees", "COD152|Topo"}));
    EXPECT_EQ(label(), "5 Installed Mapsets");
    EXPECT_EQ(mapsetCount, 5);
    expectRow(1, {"Alps", "Families", 6001, "C:\\Maps\\Alps", "C:\\Maps\\Alps\\Alps.TDB", "F",
                  "Alps"});
    expectRow(3, {"NoValues", "Families", 0, "", "", "F", "NoValues"});
    // The code comes from the .TDB (152), not from the key name (1234).
    expectRow(5, {"Topo", "Products", 152, folder_ + "\\Topo", topo, "N", "1234"});
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(CatalogueScan, NonPositiveOrNamedProductKeysAreAskedAboutAndNoLeavesThem)
{
    const std::string tdb = makeTdb("Topo.TDB", 152);
    for (const char* key : {"Topo", "0", "-5"}) {
        addProduct(key, folder_, tdb);
    }
    putText(kProducts + "\\Topo", "BMAP", "sentinel");
    for (int i = 0; i < 3; ++i) {
        scripted::answerNextMessage(kAnswerNo);
    }

    scanInstalledMapsets();

    // The registry's order: "-" sorts before "0".
    EXPECT_EQ(textsAndFlags("Read Mapset"), (Shown{{incompatible("-5"), 0x24},
                                                   {incompatible("0"), 0x24},
                                                   {incompatible("Topo"), 0x24}}));
    EXPECT_EQ(listRows(), (Rows{"COD152|-5", "COD152|0", "COD152|Topo"}));
    expectRow(3, {"Topo", "Products", 152, folder_, tdb, "O", "Topo"});
    EXPECT_EQ(subkeyNames(kProducts), (Rows{"-5", "0", "Topo"}));
    EXPECT_EQ(textValue(kProducts + "\\Topo", "BMAP"), "sentinel");

    // Declined entries are asked about again at the next scan.
    for (int i = 0; i < 3; ++i) {
        scripted::answerNextMessage(kAnswerNo);
    }
    scanInstalledMapsets();
    EXPECT_EQ(scripted::shownMessages().size(), 6u);
}

TEST_F(CatalogueScan, YesMovesTheEntryUnderItsProductCode)
{
    const std::string tdb = makeTdb("Topo\\Topo.TDB", 152);
    addProduct("Topo", folder_ + "\\Topo", tdb);
    putText(kProducts + "\\Topo", "Other", "not carried over");
    scripted::answerNextMessage(kAnswerYes);

    scanInstalledMapsets();

    EXPECT_FALSE(keyExists(kProducts + "\\Topo"));
    EXPECT_EQ(subkeyNames(kProducts), Rows{"152"});
    EXPECT_EQ(textValue(kProducts + "\\152", "BMAP"), folder_ + "\\Topo\\Topo.IMG");
    EXPECT_EQ(textValue(kProducts + "\\152", "LOC"), folder_ + "\\Topo");
    EXPECT_EQ(textValue(kProducts + "\\152", "TDB"), tdb);
    EXPECT_EQ(valueNames(kProducts + "\\152"), (Rows{"BMAP", "LOC", "TDB"}));
    expectRow(1, {"Topo", "Products", 152, folder_ + "\\Topo", tdb, "N", "152"});
    EXPECT_EQ(listRows(), Rows{"COD152|Topo"});

    // Repaired for good: no question at the next scan.
    scanInstalledMapsets();
    EXPECT_EQ(scripted::shownMessages().size(), 1u);
    EXPECT_EQ(listRows(), Rows{"COD152|Topo"});
}

TEST_F(CatalogueScan, RepairIsRefusedWhenItCouldLoseOrOverwriteAnEntry)
{
    const std::string unreadable = folder_ + "\\Gone\\Gone.TDB"; // neither file nor folder exist
    const std::string empty = makeFile("Empty.TDB", "");
    const std::string taken = makeTdb("Taken.TDB", 152);
    // Named so that the registry's order is the order below; "152" comes first and asks nothing.
    addProduct("A-Gone", folder_ + "\\Gone", unreadable);
    addProduct("B-Empty", folder_, empty);
    addProduct("D-Taken", folder_, taken);
    // Another mapset already uses code 152: its entry must not be overwritten.
    putText(kProducts + "\\152", "LOC", "C:\\Other");
    putText(kProducts + "\\152", "TDB", "C:\\Other\\Other.TDB");
    putText(kProducts + "\\152", "BMAP", "C:\\Other\\Other.IMG");

    for (int i = 0; i < 6; ++i) {
        scripted::answerNextMessage(i % 2 == 0 ? kAnswerYes : kAnswerOk);
    }
    scanInstalledMapsets();

    const std::string stays = " Its registry entry stays as it is.";
    EXPECT_EQ(textsAndFlags("Read Mapset"),
              (Shown{{incompatible("A-Gone"), 0x24},
                     {"Mapset A-Gone was not fixed: its .TDB file \"" + unreadable +
                          "\" could not be read." + stays,
                      0x30},
                     {incompatible("B-Empty"), 0x24},
                     {"Mapset B-Empty was not fixed: its .TDB file \"" + empty +
                          "\" holds no valid product code (0)." + stays,
                      0x30},
                     {incompatible("D-Taken"), 0x24},
                     {"Mapset D-Taken was not fixed: another mapset is already registered under "
                      "product code 152 (Products\\152)." + stays,
                      0x30}}));
    EXPECT_EQ(subkeyNames(kProducts), (Rows{"152", "A-Gone", "B-Empty", "D-Taken"}));
    EXPECT_EQ(textValue(kProducts + "\\A-Gone", "TDB"), unreadable);
    EXPECT_EQ(textValue(kProducts + "\\D-Taken", "LOC"), folder_);
    EXPECT_EQ(textValue(kProducts + "\\152", "LOC"), "C:\\Other");
    EXPECT_EQ(textValue(kProducts + "\\152", "BMAP"), "C:\\Other\\Other.IMG");
    EXPECT_FALSE(keyExists(kProducts + "\\0"));
    for (int slot = 2; slot <= 4; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(installedMapsets[slot].form, "O");
    }
}

TEST_F(CatalogueScan, ProductCodesAreUnsignedSixteenBitNumbers)
{
    // Numeric keys of codes above 32767 are their own .TDB's; an old-form key moves under its code.
    for (const std::uint16_t code : {32768, 40000, 65535})
        addProduct(std::to_string(code), folder_, makeTdb(std::to_string(code) + ".TDB", code));
    addProduct("Old", folder_ + "\\Old", makeTdb("Old\\Old.TDB", 50000));
    makeFile("Old\\Old.IMG");
    scripted::answerNextMessage(kAnswerYes);
    scanInstalledMapsets();
    EXPECT_EQ(listRows(), (Rows{"COD32768|32768", "COD40000|40000", "COD65535|65535",
                                "COD50000|Old"}));
    EXPECT_EQ(subkeyNames(kProducts), (Rows{"32768", "40000", "50000", "65535"}));
    for (int slot = 1; slot <= 4; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(catalogue::problemLines(installedMapsets[slot]), "");
    }
}

TEST_F(CatalogueScan, ProductWhoseTdbIsMissingIsListedByItsKeyAndLosesNoLaterRow)
{
    const std::string missing = folder_ + "\\Lost.TDB"; // the folder exists, the file does not
    const std::string topo = makeTdb("Topo.TDB", 152);
    addProduct("777", folder_, missing);
    putKey(kProducts + "\\778"); // no values at all
    addProduct("779", folder_, topo);

    scanInstalledMapsets();

    EXPECT_EQ(listRows(), (Rows{"COD0|Lost", "COD0|778", "COD152|Topo"}));
    EXPECT_EQ(mapsetCount, 3);
    EXPECT_EQ(label(), "3 Installed Mapsets");
    expectRow(1, {"Lost", "Products", 0, folder_, missing, "N", "777"});
    expectRow(2, {"", "Products", 0, "", "", "N", "778"});
    // Reading the code never creates the file.
    EXPECT_FALSE(fileExists(missing));
}

TEST_F(CatalogueScan, OnlyTheFirstHundredKeysAreStoredAndListed)
{
    const std::string tdb = makeTdb("Topo.TDB", 152);
    for (int i = 0; i < 60; ++i) {
        addFamily((i < 10 ? "Family0" : "Family") + std::to_string(i), kRegBinary,
                  {static_cast<unsigned char>(i), 0x17}, "C:\\F", "C:\\F\\F.TDB");
    }
    for (int i = 0; i < 40; ++i) {
        addProduct(std::to_string(1000 + i), folder_, tdb);
    }
    addProduct("Old", folder_, tdb); // the 101st key: not read, so not asked about
    scripted::answerNextMessage(kAnswerOk);

    scanInstalledMapsets();

    const auto rows = listRows();
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front(), "FID5888|Family00");
    EXPECT_EQ(rows[59], "FID5947|Family59");
    EXPECT_EQ(rows.back(), "COD152|Topo");
    EXPECT_EQ(mapsetCount, 100);
    EXPECT_EQ(label(), "100 Installed Mapsets");
    EXPECT_EQ(textsAndFlags("Read Mapset"),
              (Shown{{"Only the first 100 mapsets can be listed.", 0x30}}));

    // Exactly 100 keys need no message.
    EXPECT_TRUE(keyExists(kProducts + "\\Old"));
    cleanMapsource();
    for (int i = 0; i < 100; ++i) {
        addProduct(std::to_string(2000 + i), folder_, tdb);
    }
    scanInstalledMapsets();
    EXPECT_EQ(listRows().size(), 100u);
    EXPECT_EQ(scripted::shownMessages().size(), 1u);
}

} // namespace
} // namespace oxlo::testing
