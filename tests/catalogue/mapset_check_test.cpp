// The check of every row that each scan makes: each problem alone, several together, and how the
// list shows them (dark red rows whose tooltips list the problems).
#include "catalogue/catalogue_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::installedMapsets;
using catalogue::scanInstalledMapsets;
using Lines = std::vector<std::string>;

constexpr std::uint32_t kDarkRed = rgbColour(192, 0, 0);

std::vector<unsigned char> littleEndian(int id)
{
    return {static_cast<unsigned char>(id & 0xFF), static_cast<unsigned char>((id >> 8) & 0xFF)};
}

class MapsetCheck : public CatalogueTest {
protected:
    void write(const std::string& path, std::vector<char> bytes)
    {
        const auto host = hostPath(path);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    // A .TDB header: product code at 3, family ID at 5.
    std::string index(const std::string& path, int code, int familyId)
    {
        write(path, {0x50, 0x10, 0x00, char(code & 0xFF), char(code >> 8), char(familyId & 0xFF),
                     char(familyId >> 8), 0x64, 0x00, 'S', 0});
        return path;
    }
    // A TYP file (header length, "GARMIN TYP") with its family ID at 0x2F.
    std::string typ(const std::string& path, int familyId)
    {
        std::vector<char> bytes(0x40, 0);
        bytes[0] = 0x5B;
        std::copy_n("GARMIN TYP", 10, bytes.begin() + 2);
        bytes[0x2F] = char(familyId & 0xFF);
        bytes[0x30] = char(familyId >> 8);
        write(path, bytes);
        return path;
    }
    // A family whose folder, index, overview and TYP all exist and agree on `id`; its "ID" value
    // is `idValue` when given (of type kRegNone: none).
    std::string wholeFamily(const std::string& name, int id, std::optional<RawValue> idValue = {})
    {
        const std::string loc = folder_ + "\\" + name;
        const RawValue value = idValue.value_or(RawValue{kRegBinary, littleEndian(id)});
        const std::string tdb = index(loc + "\\" + name + ".TDB", 7, id);
        if (value.type != kRegNone) addFamily(name, value.type, value.bytes, loc, tdb);
        putText(kFamilies + "\\" + name + "\\1", "LOC", loc);
        putText(kFamilies + "\\" + name + "\\1", "TDB", tdb);
        putText(kFamilies + "\\" + name + "\\1", "BMAP", makeFile(name + "\\" + name + ".IMG"));
        putText(kFamilies + "\\" + name, "TYP", typ(loc + "\\" + name + ".TYP", id));
        return loc;
    }
    static Lines problemsOf(int slot)
    {
        Lines texts;
        for (const auto& problem : installedMapsets[slot].problems) texts.push_back(problem.text);
        return texts;
    }
    // The list row's colour and tooltip agree with the row's problems.
    static void expectShown(int slot, const Lines& problems)
    {
        SCOPED_TRACE("list row " + std::to_string(slot - 1));
        const auto* list = scripted::findControl(0);
        ASSERT_NE(list, nullptr);
        const auto row = static_cast<std::size_t>(slot - 1);
        ASSERT_LT(row, list->rows.size());
        std::string tip;
        for (const std::string& line : problems) tip += (tip.empty() ? "" : "\n") + line;
        EXPECT_EQ(list->rowColours[row], problems.empty() ? scripted::kListColour : kDarkRed);
        EXPECT_EQ(list->rowToolTips[row], tip);
    }
};

TEST_F(MapsetCheck, EachProblemAloneIsFoundAndShown)
{
    struct Case {
        const char* what;
        std::function<Lines(const std::string&)> breakIt; // breaks the folder, gives the problems
    };
    const std::string key = kFamilies + "\\Alps";
    const std::vector<Case> cases = {
        {"nothing wrong", [](const std::string&) { return Lines{}; }},
        {"folder gone",
         [&](const std::string&) {
             const std::string elsewhere = folder_ + "\\Moved";
             putText(key + "\\1", "LOC", elsewhere);
             return Lines{"The folder " + elsewhere + " does not exist."};
         }},
        {"index gone",
         [&](const std::string& loc) {
             std::filesystem::remove(hostPath(loc + "\\Alps.TDB"));
             return Lines{"The index file " + loc + "\\Alps.TDB does not exist."};
         }},
        {"overview gone",
         [&](const std::string& loc) {
             std::filesystem::remove(hostPath(loc + "\\Alps.IMG"));
             return Lines{"The overview map " + loc + "\\Alps.IMG does not exist."};
         }},
        {"TYP gone",
         [&](const std::string& loc) {
             std::filesystem::remove(hostPath(loc + "\\Alps.TYP"));
             return Lines{"The TYP file " + loc + "\\Alps.TYP does not exist."};
         }},
        {"TYP of another family",
         [&](const std::string& loc) {
             typ(loc + "\\Alps.TYP", 6100);
             return Lines{"The TYP file " + loc +
                          "\\Alps.TYP belongs to family ID 6100, not to this mapset's family ID "
                          "6001."};
         }},
        {"TYP without the TYP signature",
         [&](const std::string& loc) {
             makeFile("Alps\\Alps.TYP", std::string(0x40, '\x17'));
             return Lines{"The TYP file " + loc + "\\Alps.TYP is not a TYP file."};
         }},
        {"index is a folder",
         [&](const std::string& loc) {
             std::filesystem::remove(hostPath(loc + "\\Alps.TDB"));
             std::filesystem::create_directory(hostPath(loc + "\\Alps.TDB"));
             return Lines{"The index file " + loc + "\\Alps.TDB is a folder, not a file."};
         }},
        {"index of another family",
         [&](const std::string& loc) {
             index(loc + "\\Alps.TDB", 7, 6002);
             return Lines{"The index file " + loc +
                          "\\Alps.TDB holds family ID 6002, not the registry's 6001."};
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        SetUp();
        const std::string loc = wholeFamily("Alps", 6001);
        const Lines expected = test.breakIt(loc);
        scanInstalledMapsets();
        EXPECT_EQ(problemsOf(1), expected);
        expectShown(1, expected);
        EXPECT_EQ(listRows(), Lines{"FID6001|Alps"}) << "the row's texts stay as they are";
    }
}

TEST_F(MapsetCheck, SharedFamilyIdsAreReportedOnEachRow)
{
    wholeFamily("Alps", 6001);
    wholeFamily("Bern", 6001);
    wholeFamily("Cote", 6003);
    scanInstalledMapsets();
    const std::string shared = " is also used by mapset ";
    EXPECT_EQ(problemsOf(1), Lines{"Family ID 6001" + shared + "Families\\Bern; MapSource shows only one of them."});
    EXPECT_EQ(problemsOf(2), Lines{"Family ID 6001" + shared + "Families\\Alps; MapSource shows only one of them."});
    EXPECT_EQ(problemsOf(3), Lines{});
    expectShown(3, {});
}

TEST_F(MapsetCheck, AFamilyIdThatCannotBeReadIsReportedAndClashesWithNone)
{
    struct Case {
        const char* what;
        unsigned type;
        std::vector<unsigned char> bytes; // type 0: no "ID" value
    };
    const std::vector<Case> cases = {{"missing", kRegNone, {}},
                                     {"empty", kRegBinary, {}},
                                     {"text", kRegSz, {'I', 'D', 0}},
                                     {"multi-string", kRegMultiSz, {'7', 0, 0}},
                                     {"too long", kRegBinary, {1, 0, 0, 0, 0}}};
    std::vector<std::string> names;
    for (const Case& test : cases) {
        const std::string name = "F" + std::to_string(names.size()) + "-" + test.what;
        wholeFamily(name, 0, RawValue{test.type, test.bytes});
        names.push_back(name);
    }
    wholeFamily("Zero", 0); // a readable 0 clashes with none of them
    scanInstalledMapsets();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const auto slot = static_cast<int>(i + 1);
        ASSERT_EQ(installedMapsets[slot].keyName, names[i]);
        const Lines expected = {"The family ID of mapset Families\\" + names[i] +
                                " cannot be read from its registry entry."};
        EXPECT_EQ(problemsOf(slot), expected);
        expectShown(slot, expected);
    }
    EXPECT_EQ(problemsOf(static_cast<int>(cases.size()) + 1), Lines{});
}

TEST_F(MapsetCheck, AProductKeyThatIsNotItsIndexCodeIsReported)
{
    const std::string loc = folder_ + "\\Topo";
    makeFile("Topo\\Topo.IMG");
    addProduct("153", loc, index(loc + "\\Topo.TDB", 152, 0));
    addProduct("152", loc, loc + "\\Topo.TDB");
    scanInstalledMapsets();
    ASSERT_EQ(listRows(), (Lines{"COD152|Topo", "COD152|Topo"}));
    EXPECT_EQ(problemsOf(1), Lines{});
    const Lines expected = {"The index file " + loc +
                            "\\Topo.TDB holds product code 152, but the entry is registered as "
                            "Products\\153."};
    EXPECT_EQ(problemsOf(2), expected);
    expectShown(2, expected);
}

TEST_F(MapsetCheck, SeveralProblemsOfOneRowAreListedInOrder)
{
    // Alps: its folder gone and its ID shared; Bern: TYP and index of other families.
    const std::string gone = folder_ + "\\Gone";
    addFamily("Alps", kRegBinary, littleEndian(6001), gone, gone + "\\Alps.TDB");
    putText(kFamilies + "\\Alps\\1", "BMAP", gone + "\\Alps.IMG");
    putText(kFamilies + "\\Alps", "TYP", gone + "\\Alps.TYP");
    const std::string bern = wholeFamily("Bern", 6001);
    typ(bern + "\\Bern.TYP", 7000);
    index(bern + "\\Bern.TDB", 7, 7001);
    scanInstalledMapsets();
    // The files in the missing folder are missing as its consequence: one problem alone.
    const Lines alps = {"The folder " + gone + " does not exist."};
    const Lines bernProblems = {
        "The TYP file " + bern + "\\Bern.TYP belongs to family ID 7000, not to this mapset's "
        "family ID 6001.",
        "The index file " + bern + "\\Bern.TDB holds family ID 7001, not the registry's 6001.",
        "Family ID 6001 is also used by mapset Families\\Alps; MapSource shows only one of them."};
    EXPECT_EQ(problemsOf(1), alps);
    EXPECT_EQ(problemsOf(2), bernProblems);
    expectShown(1, alps);
    expectShown(2, bernProblems);
    EXPECT_FALSE(fileExists(gone)) << "the check creates nothing";
}

} // namespace
} // namespace oxlo::testing
