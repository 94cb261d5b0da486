// The check of bundle rows: each problem of a bundle alone, family IDs shared with registered
// families and other bundles, and the dark red row with its tooltip.
#include "catalogue/bundle_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "platform/ui.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

namespace oxlo::testing {
namespace {

using catalogue::installedMapsets;
using catalogue::scanInstalledMapsets;
using platform::KnownFolder;
using Lines = std::vector<std::string>;

// Writes a little-endian family ID at `position` of an existing file.
void patchFamilyId(const std::string& path, std::streamoff position, int id)
{
    std::fstream file(hostPath(path), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(position);
    const char bytes[] = {char(id & 0xFF), char(id >> 8)};
    file.write(bytes, 2);
}

// Puts `replacement` for the first `original` in the bundle's Info.xml.
void rewriteInfo(const std::string& bundle, const std::string& original, const std::string& replacement)
{
    const auto host = hostPath(bundle + "\\Info.xml");
    std::string text = readWholeFile(host).value_or("");
    std::ofstream(host, std::ios::binary | std::ios::trunc)
        << text.replace(text.find(original), original.size(), replacement);
}

using BundleCheck = BundleTest;

TEST_F(BundleCheck, EachProblemOfABundleIsFound)
{
    const std::string b = mapsFolder(KnownFolder::ProgramData) + "\\Test Fam.gmap";
    const std::string tdb = b + "\\Product1\\Test Fam.tdb";
    const std::string typ = b + "\\xvillage.typ";
    const struct {
        const char* what;
        std::function<void()> spoil;
        Lines problems;
    } cases[] = {
        {"whole", [] {}, {}},
        {"unreadable Info.xml",
         [&] { std::filesystem::resize_file(hostPath(b + "\\Info.xml"), 100); },
         {"The bundle's Info.xml cannot be read."}},
        {"index missing",
         [&] { std::filesystem::remove(hostPath(tdb)); },
         {"The index file " + tdb + " does not exist."}},
        {"overview map missing",
         [&] { std::filesystem::remove_all(hostPath(b + "\\Product1\\Test Fam")); },
         {"The overview map " + b + "\\Product1\\Test Fam does not exist."}},
        {"TYP missing",
         [&] { std::filesystem::remove(hostPath(typ)); },
         {"The TYP file " + typ + " does not exist."}},
        {"foreign TYP", [&] { patchFamilyId(typ, 0x2F, 4712); },
         {"The TYP file " + typ +
          " belongs to family ID 4712, not to this mapset's family ID 4711."}},
        {"foreign index", [&] { patchFamilyId(tdb, 5, 99); },
         {"The index file " + tdb + " holds family ID 99, not the bundle's 4711."}},
        // Paths that leave the bundle are never looked at, so nothing else is said of them.
        {"TYP in another bundle", [&] { rewriteInfo(b, "xvillage", "../Other.gmap/xvillage"); },
         {"Info.xml names ../Other.gmap/xvillage.typ outside its bundle."}},
        {"index beside the bundle", [&] { rewriteInfo(b, "<TDB>", "<TDB>..\\..\\"); },
         {"Info.xml names ..\\..\\Test Fam.tdb outside its bundle."}},
        {"product folder on a drive", [&] { rewriteInfo(b, "<Directory>", "<Directory>C:\\"); },
         {"Info.xml names C:\\Product1 outside its bundle."}},
        {"search index on a share", [&] { rewriteInfo(b, "<IDX>", "<IDX>\\\\server\\"); },
         {"Info.xml names \\\\server\\Test Fam.mdx outside its bundle."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        addBundle(KnownFolder::ProgramData, "Test Fam.gmap");
        c.spoil();
        scanInstalledMapsets();
        Lines found;
        for (const auto& problem : installedMapsets[1].problems) found.push_back(problem.text);
        EXPECT_EQ(found, c.problems);
        std::filesystem::remove_all(hostPath(b));
    }
}

TEST_F(BundleCheck, AFamilyIdIsSharedAcrossFamiliesAndBundles)
{
    addFamily("Alps", platform::kRegBinary, {0x67, 0x12}, folder_, makeTdb("Alps.TDB", 1));
    addBundle(KnownFolder::ProgramData, "One.gmap");
    const std::string other = infoOf("Other", 4711);
    addBundle(KnownFolder::RoamingAppData, "Two.gmap", &other);
    const std::string unread = "<MapProduct";
    addBundle(KnownFolder::RoamingAppData, "Zero.gmap", &unread);
    addFamily("Zero", platform::kRegBinary, {0, 0}, folder_, makeTdb("Zero.TDB", 1));

    scanInstalledMapsets();

    const auto shared = [](const std::string& key) {
        return "Family ID 4711 is also used by mapset " + key + "; MapSource shows only one of them.";
    };
    // The registered families come first: Alps, Zero, then the bundles One, Two, Zero.
    const Lines expected[] = {
        {shared("Maps\\One.gmap"), shared("Maps\\Two.gmap")},
        {},
        {shared("Families\\Alps"), shared("Maps\\Two.gmap")},
        {shared("Families\\Alps"), shared("Maps\\One.gmap")},
        {"The bundle's Info.xml cannot be read."},
    };
    const auto* list = platform::scripted::findControl(0);
    ASSERT_NE(list, nullptr);
    for (int slot = 1; slot <= 5; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        Lines found;
        for (const auto& problem : installedMapsets[slot].problems) {
            // The Zero family's own index and folder problems are not the point here.
            if (problem.kind == catalogue::ProblemKind::SharedFamilyId ||
                problem.kind == catalogue::ProblemKind::UnreadableBundle)
                found.push_back(problem.text);
        }
        EXPECT_EQ(found, expected[slot - 1]);
    }
    EXPECT_EQ(list->rowColours[2], platform::rgbColour(192, 0, 0));
    EXPECT_EQ(list->rowToolTips[4], "The bundle's Info.xml cannot be read.");
}

} // namespace
} // namespace oxlo::testing
