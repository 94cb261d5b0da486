// Save for GPS with every file call after another failing once (the stand-in java), replacing an
// older gmapsupp.img: the chosen name holds the old file or the whole new one, the old one goes
// only to the Recycle Bin and only when the new one took its name, the work folder goes, and the
// success is said exactly when the new file is in place.
#include "gps_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/gps_save.h"
#include "platform/services.h"
#include "support/fault_runs.h"
#include "support/file_bytes.h"
#include "support/test_environment.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;

TEST(GpsSaveFaults, TheChosenNameHoldsTheOldFileOrTheWholeNewOne)
{
    const std::string folder = freshTestFolder("GpsSaveFaults");
    const std::string out = folder + "\\Out", file = out + "\\gmapsupp.img";
    const std::string old = "the GPS map saved before";
    const fs::path bin = hostPath("C:\\$Recycle.Bin");
    const std::string java = standInMkgmapRuntime().javaHome + "\\bin\\java.exe";
    const std::string ready = "The GPS map " + file + " is ready: mapset Hills, 2 maps. It goes "
                              "into the Garmin folder of the device or of its memory card.";
    const auto recycled = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(bin)) count += readWholeFile(entry) == old;
        return count;
    };
    const FaultRunTotals totals = runFailingEachCall(
        [&] {
            fs::remove_all(hostPath(folder));
            fs::create_directories(hostPath(out));
            fs::create_directories(bin);
            for (const auto& entry : fs::directory_iterator(bin)) fs::remove_all(entry);
            std::ofstream(hostPath(file), std::ios::binary) << old;
            setGpsCatalogue({readyMapset(folder, "Hills", 6005, "hills.typ")});
        },
        [&] {
            SilentProgress progress;
            builder::saveForGpsTo({1}, file, standInMkgmapRuntime().jar, java, progress,
                                  builder::ReplaceQuestion::ask);
        },
        [&](const FaultRun& run) {
            SCOPED_TRACE("failing call " + std::to_string(run.failingCall));
            EXPECT_EQ(folderContent(out), std::vector<std::string>{"gmapsupp.img"})
                << "no work folder, no file set aside";
            if (wasShown(run, ready)) {
                EXPECT_EQ(subfilesOf(file),
                          (std::vector<std::string>{"00XF6005.TYP", "63250001.LBL",
                                                    "63250001.RGN", "63250001.TRE",
                                                    "63250002.LBL", "63250002.RGN",
                                                    "63250002.TRE"}));
                EXPECT_EQ(recycled(), 1) << "the old file in the Recycle Bin";
                EXPECT_EQ(run.messages.size(), 2u) << "the question and the success only";
            } else {
                EXPECT_EQ(readWholeWindowsFile(file), old);
                EXPECT_EQ(recycled(), 0);
                EXPECT_TRUE(run.injected);
                EXPECT_TRUE(std::any_of(run.messages.begin(), run.messages.end(),
                                        [](const auto& message) {
                                            return message.flags == platform::kMessageWarning;
                                        }))
                    << "the failure is told";
            }
        });
    EXPECT_GT(totals.calls, 20);
    countInjectedRuns("save for GPS", totals.runs);
    catalogue::mapsetCount = 0;
}

} // namespace
} // namespace oxlo::testing
