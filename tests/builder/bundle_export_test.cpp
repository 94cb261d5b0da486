// Export BaseCamp Bundle with mkgmap (the real one natively, the stand-in java.exe under Wine):
// the bundle made from the maps where they are, maps missing, a bundle already there, a failed
// run; the chosen folder ends with the bundle or with nothing.
#include "mkgmap_runtime.h"

#include "builder/bundle_export.h"
#include "catalogue/bundle_info.h"
#include "catalogue/installed_mapsets.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/test_environment.h"
#include "support/file_bytes.h"
#include "support/folder_test.h"
#include "support/shown_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
namespace scripted = platform::scripted;

class BundleExport : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        mapset_ = folder_ + "\\Test Fam";
        chosen_ = folder_ + "\\Out";
        fs::create_directories(hostPath(chosen_));
        fs::create_directories(hostPath(mapset_));
        const fs::path data(OXLO_TEST_DATA);
        fs::copy_file(data / "village.tdb", hostPath(mapset_ + "\\Test Fam.tdb"));
        fs::copy_file(data / "village.typ", hostPath(mapset_ + "\\Test Fam.typ"));
        fs::copy_file(data / "village-opaque.img", hostPath(mapset_ + "\\63240021.img"));
        environment_.set("JAVA_HOME", mkgmapRuntime().javaHome);
        auto& row = catalogue::installedMapsets[1];
        row = catalogue::InstalledMapset{};
        row.name = row.keyName = "Test Fam";
        row.branch = "Families";
        row.form = "F";
        row.id = 4711;
        row.loc = mapset_;
        row.tdb = mapset_ + "\\Test Fam.tdb";
        row.typ = mapset_ + "\\Test Fam.typ";
        catalogue::mapsetCount = 1;
    }
    void TearDown() override { catalogue::mapsetCount = 0; }

    void exportRow()
    {
        scripted::chooseNextFolder(chosen_ + "\\");
        std::string jar = mkgmapRuntime().jar;
        builder::exportBundle(1, jar, 0, "Oxlo");
    }
    std::vector<std::string> chosenContent() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(hostPath(chosen_)))
            names.push_back(entry.path().filename().string());
        return names;
    }
    // The mapset's .TDB lists map 63240022 after its own 63240021: a copy of its detail map
    // block (type 0x4C, a 16-bit length, the map number first) with the number one higher.
    void addSecondMapToIndex()
    {
        const fs::path tdb = hostPath(mapset_ + "\\Test Fam.tdb");
        std::string bytes = readWholeFile(tdb).value_or("");
        for (std::size_t at = 0; at + 3 <= bytes.size();) {
            const std::size_t length = static_cast<unsigned char>(bytes[at + 1]) |
                                       static_cast<unsigned char>(bytes[at + 2]) << 8;
            if (bytes[at] == 0x4C) {
                std::string block = bytes.substr(at, 3 + length);
                ++block[3];
                bytes.insert(at + 3 + length, block);
                break;
            }
            at += 3 + length;
        }
        std::ofstream(tdb, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::string mapset_, chosen_;
    EnvironmentScope environment_;
};

TEST_F(BundleExport, MakesTheBundleFromTheMapsWhereTheyAreAndReplacesOnlyWhenTold)
{
    scripted::answerNextMessage(platform::kAnswerOk);
    exportRow();
    EXPECT_EQ(lastMessageText(), "The BaseCamp bundle " + chosen_ +
                                     "\\Test Fam.gmap is ready. Copy it into Garmin\\Maps on the "
                                     "computer that should show it.");
    EXPECT_EQ(chosenContent(), std::vector<std::string>{"Test Fam.gmap"});
    const auto info = readWholeWindowsFile(chosen_ + "\\Test Fam.gmap\\Info.xml");
    const auto bundle = catalogue::parseBundleInfo(info.value_or(""));
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->name, "Test Fam");
    EXPECT_EQ(bundle->id, 4711);
    ASSERT_EQ(bundle->subProducts.size(), 1u);
    EXPECT_TRUE(fs::exists(hostPath(chosen_ + "\\Test Fam.gmap\\" + bundle->subProducts[0].directory +
                                    "\\" + bundle->subProducts[0].tdb)));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(hostPath(mapset_)))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"63240021.img", "Test Fam.tdb", "Test Fam.typ"}))
        << "the mapset's own files stay as they were";

    // A bundle of that name is there now: No keeps it, Yes replaces it.
    std::ofstream(hostPath(chosen_ + "\\Test Fam.gmap\\old.txt")) << "old";
    const std::string question = "A BaseCamp bundle Test Fam.gmap exists in " + chosen_ +
                                 ". Replace it? The old one goes to the Recycle Bin.";
    scripted::answerNextMessage(platform::kAnswerNo);
    exportRow();
    EXPECT_EQ(lastMessageText(), question);
    EXPECT_TRUE(fs::exists(hostPath(chosen_ + "\\Test Fam.gmap\\old.txt")));
    scripted::answerNextMessage(platform::kAnswerYes);
    scripted::answerNextMessage(platform::kAnswerOk);
    exportRow();
    EXPECT_FALSE(fs::exists(hostPath(chosen_ + "\\Test Fam.gmap\\old.txt")));
    EXPECT_TRUE(fs::exists(hostPath(chosen_ + "\\Test Fam.gmap\\Info.xml")));
    EXPECT_EQ(chosenContent(), std::vector<std::string>{"Test Fam.gmap"});
}

TEST_F(BundleExport, LeavesNothingInTheChosenFolderWhenItCannotBeMade)
{
    const struct {
        const char* what;
        std::function<void()> spoil;
        std::string message; // the start of the last message
    } cases[] = {
        {"a map missing", [&] { fs::remove(hostPath(mapset_ + "\\63240021.img")); },
         mapset_ + " lacks 1 of the mapset's 1 maps, the first being 63240021.img."},
        {"a map that is none",
         [&] { std::ofstream(hostPath(mapset_ + "\\63240021.img"), std::ios::trunc) << "none"; },
         ""},
        // mkgmap skips a map cut short and still succeeds.
        {"a second map cut short",
         [&] {
             fs::copy_file(fs::path(OXLO_TEST_DATA) / "village-opaque.img",
                           hostPath(mapset_ + "\\63240021.img"),
                           fs::copy_options::overwrite_existing);
             addSecondMapToIndex();
             std::ofstream(hostPath(mapset_ + "\\63240022.img"), std::ios::binary)
                 << readWholeFile(fs::path(OXLO_TEST_DATA) / "village-opaque.img")->substr(0, 2000);
         },
         "mkgmap left 1 of the mapset's 2 maps out of the bundle, the first being 63240022.img. "
         "Nothing was saved."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        scripted::answerNextMessage(platform::kAnswerOk);
        exportRow();
        const auto messages = scripted::shownMessages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().title, "Export BaseCamp Bundle");
        EXPECT_EQ(messages.back().flags, platform::kMessageWarning);
        if (!c.message.empty()) EXPECT_EQ(messages.back().text, c.message);
        EXPECT_EQ(chosenContent(), std::vector<std::string>{});
    }
}

} // namespace
} // namespace oxlo::testing
