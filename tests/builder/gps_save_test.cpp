// Save for GPS with mkgmap (the real one natively, the stand-in java.exe under Wine): the
// refusals before mkgmap runs, several mapsets whose TYP files have one name in one file, and a
// map that mkgmap skips in silence because another has its subfiles' names. The chosen folder
// ends with the whole file or with nothing, never with the work folder.
#include "gps_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/gps_save.h"
#include "mapfile/typ_file.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/test_environment.h"
#include "support/folder_test.h"
#include "support/shown_messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
namespace scripted = platform::scripted;

class GpsSave : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        out_ = folder_ + "\\Out";
        fs::create_directories(hostPath(out_));
        environment_.set("JAVA_HOME", mkgmapRuntime().javaHome);
        hills_ = readyMapset(folder_, "Hills", 6005, "hills.typ");
        dales_ = readyMapset(folder_, "Dales", 6006, "dales.typ");
        alps_ = readyMapset(folder_, "Oesterreich", 6008, "");
    }
    void TearDown() override { catalogue::mapsetCount = 0; }

    // Saves catalogue rows `rows` into Out\gmapsupp.img; the last message shown.
    std::string save(const std::vector<int>& rows)
    {
        scripted::answerNextMessage(platform::kAnswerOk);
        const std::string java = mkgmapRuntime().javaHome + "\\bin\\java.exe";
        SilentProgress progress;
        saved_ = builder::saveForGpsTo(rows, file(), mkgmapRuntime().jar, java, progress,
                                       builder::ReplaceQuestion::ask);
        return lastMessageText();
    }
    std::string file() const { return out_ + "\\gmapsupp.img"; }

    std::string out_, saved_;
    catalogue::InstalledMapset hills_, dales_, alps_;
    EnvironmentScope environment_;
};

TEST_F(GpsSave, RefusesBeforeMkgmapRuns)
{
    const std::string fits = "; a GPS shows only one of them. Save them in two files, or change "
                             "one of them.";
    const struct {
        const char* what;
        std::function<std::vector<catalogue::InstalledMapset>()> mapsets;
        std::string message;
    } cases[] = {
        {"a map number in two mapsets",
         [&] {
             auto copy = hills_;
             copy.name = copy.keyName = "Hills copy";
             copy.id = 6010;
             return std::vector{alps_, hills_, copy};
         },
         "Mapsets Hills and Hills copy both have the map 63250001.img" + fits},
        {"maps of 4 GB",
         [&] {
             fs::resize_file(hostPath(alps_.loc + "\\63280001.img"), std::uintmax_t{4} << 30);
             return std::vector{hills_, alps_};
         },
         "The maps of these mapsets add up to 4.0 GB; a GPS map file holds less than 4 GB. Save "
         "fewer mapsets in one file."},
        {"a TYP file of another family", [&] { return std::vector{hills_, dales_}; },
         "The TYP file " + dales_.typ + " belongs to family ID 6099, not to 6006. Fix it with Fix "
         "TYP Family ID first."},
        {"a map missing",
         [&] {
             fs::remove(hostPath(hills_.loc + "\\63250002.img"));
             return std::vector{hills_};
         },
         hills_.loc + " lacks 1 of the mapset's 2 maps, the first being 63250002.img."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted::resetScript();
        setGpsCatalogue(c.mapsets());
        std::vector<int> rows;
        for (int row = 1; row <= catalogue::mapsetCount; ++row) rows.push_back(row);
        EXPECT_EQ(save(rows), c.message);
        EXPECT_EQ(scripted::shownMessages().size(), 1u);
        EXPECT_TRUE(saved_.empty());
        EXPECT_TRUE(folderContent(out_).empty()) << "no work folder, no file";
        fs::remove_all(hostPath(folder_ + "\\Hills"));
        fs::remove_all(hostPath(folder_ + "\\Oesterreich"));
        hills_ = readyMapset(folder_, "Hills", 6005, "hills.typ");
        alps_ = readyMapset(folder_, "Oesterreich", 6008, "");
    }
}

TEST_F(GpsSave, PutsTheMapsAndTheTypFilesOfOneNameOfSeveralMapsetsInOneFile)
{
    // Both TYP files are style.typ, which mkgmap would take only once.
    for (auto* mapset : {&hills_, &dales_}) {
        fs::rename(hostPath(mapset->typ), hostPath(mapset->loc + "\\style.typ"));
        mapset->typ = mapset->loc + "\\style.typ";
    }
    // Each TYP holds its mapset's IDs (Dales' product ID is 3), so mkgmap keeps both as they are,
    // under their own file name.
    patchWord(dales_.typ, mapfile::kTypFamilyIdPosition, 6006);
    patchWord(dales_.typ, mapfile::kTypProductIdPosition, 3);
    setGpsCatalogue({hills_, dales_, alps_});
    EXPECT_EQ(save({1, 2, 3}),
              "The GPS map " + file() + " is ready: mapsets Hills, Dales, Oesterreich, 5 maps. It "
              "goes into the Garmin folder of the device or of its memory card.");
    EXPECT_EQ(saved_, file());
    EXPECT_EQ(folderContent(out_), std::vector<std::string>{"gmapsupp.img"});
    std::vector<std::string> maps, typs;
    for (const std::string& subfile : subfilesOf(file())) {
        if (subfile.ends_with(".TRE")) maps.push_back(subfile);
        if (subfile.ends_with(".TYP")) typs.push_back(subfile);
    }
    EXPECT_EQ(maps, (std::vector<std::string>{"63250001.TRE", "63250002.TRE", "63260001.TRE",
                                              "63260002.TRE", "63280001.TRE"}));
    EXPECT_EQ(typs.size(), 2u) << "each style.typ under a name of its own";
    EXPECT_EQ(folderContent(hills_.loc),
              (std::vector<std::string>{"63250001.img", "63250002.img", "Hills.img", "Hills.mdx",
                                        "Hills.tdb", "Hills_mdr.img", "style.typ"}))
        << "the mapset's folder stays as it was";
    EXPECT_EQ(folderContent(dales_.loc),
              (std::vector<std::string>{"63260001.img", "63260002.img", "Dales.img", "Dales.tdb",
                                        "style.typ"}));
}

TEST_F(GpsSave, SavesNothingWhenMkgmapSkipsAMapWhoseSubfilesItHasAlready)
{
    // Oesterreich's map holds the subfiles of Hills' first under its own file name.
    // Removed first: MinGW's copy_file refuses to overwrite.
    fs::remove(hostPath(alps_.loc + "\\63280001.img"));
    fs::copy_file(hostPath(hills_.loc + "\\63250001.img"), hostPath(alps_.loc + "\\63280001.img"));
    setGpsCatalogue({hills_, alps_});
    const std::string message = save({1, 2});
    EXPECT_TRUE(message.ends_with("\n\nmkgmap left 1 of the 3 maps out of " + file() +
                                  ", the first being 63280001.img. Nothing was saved."))
        << message;
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(folderContent(out_).empty());
}

} // namespace
} // namespace oxlo::testing
