// move_bench [MAPS] [KIB-PER-MAP]
// Move Mapset on a big mapset: by default 2,000 maps of 512 KiB (1,000 MiB with its index and
// overview map), registered as the family Bench and moved into another folder of the same drive.
// Prints the whole move and its copying (copy and check of every file) with the copy rate, and
// the host folders, so that `cp -r` of the same files can be timed beside it. Asserts nothing.
// Natively it runs under the sanitizers; the Windows build under Wine
// (build/mingw/tests/catalogue/move_bench.exe) gives the figure that counts.
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_move.h"
#include "catalogue/mapset_registration.h"
#include "catalogue/registry_layout.h"
#include "mapfile/tdb_index.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "support/test_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

using namespace oxlo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFile = 5;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    platform::createFile(kFile, path);
    platform::writeString(kFile, bytes);
    platform::closeFile(kFile);
}

std::string word(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

// An index of family 6001 listing maps 70000001 onwards.
std::string tdbBytes(int maps)
{
    const std::string header = word(1) + word(6001) + word(0) + "Bench" + '\0' + word(100) +
                               "Bench" + '\0';
    std::string bytes = std::string(1, '\x50') + word(static_cast<unsigned>(header.size())) + header;
    for (int map = 1; map <= maps; ++map) {
        const unsigned number = 70000000u + static_cast<unsigned>(map);
        bytes += std::string(1, '\x4C') + word(4) + word(number & 0xFFFF) + word(number >> 16);
    }
    return bytes;
}

// The old files of earlier runs, a gigabyte each, out of the way.
void emptyRecycleBin()
{
    try {
        testing::emptyTrash();
    } catch (const std::exception& error) {
        std::printf("(%s)\n", error.what());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int maps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const std::size_t mapSize = (argc > 2 ? std::max(1, std::atoi(argv[2])) : 512) * 1024u;
    const std::string folder = testing::freshTestFolder("move-bench");
    const std::string bench = folder + "\\Bench";
    const std::string target = folder + "\\Target";
    platform::createDirectory(bench);
    platform::createDirectory(target);
    writeBytes(bench + "\\Bench.tdb", tdbBytes(maps));
    std::string map(mapSize, '\0');
    for (std::size_t at = 0; at < map.size(); ++at) map[at] = static_cast<char>(at * 7 + at / 4096);
    for (int number = 1; number <= maps; ++number)
        writeBytes(bench + "\\" + mapfile::mapFileName(70000000u + static_cast<unsigned>(number)), map);
    writeBytes(bench + "\\Bench.img", map);

    catalogue::FamilyEntry entry;
    entry.keyName = "Bench";
    entry.familyId = 6001;
    entry.loc = bench;
    entry.tdb = bench + "\\Bench.tdb";
    entry.bmap = bench + "\\Bench.img";
    platform::deleteRegistryTree(platform::kLocalMachine, std::string(catalogue::kFamiliesKey) + "Bench");
    if (!catalogue::writeNewKey(std::string(catalogue::kFamiliesKey) + "Bench",
                                catalogue::familyTree(entry))) {
        std::fprintf(stderr, "the mapset could not be registered\n");
        return 1;
    }
    platform::openWindow(0, 0, 0, 460, 244, "Oxlo", 0);
    platform::createControl(1, platform::ControlKind::Label, 15, 15, 280, 20, "");
    platform::createControl(0, platform::ControlKind::ReportList, 15, 35, 330, 190, "");
    Clock::time_point copyStart{}, copyEnd{};
    // The copying starts with the Yes to the question.
    platform::scripted::answerUnqueuedMessages([&](const platform::scripted::MessageRecord& box) {
        std::printf("  \"%s\"\n", box.text.c_str());
        if ((box.flags & 0x0F) != 0x04) return platform::kAnswerOk;
        copyStart = Clock::now();
        return platform::kAnswerYes;
    });
    catalogue::scanInstalledMapsets();
    int row = 0;
    for (int slot = 1; slot <= catalogue::mapsetCount; ++slot)
        if (catalogue::installedMapsets[slot].keyName == "Bench") row = slot;

    emptyRecycleBin();
    const auto start = Clock::now();
    const bool moved =
        catalogue::moveMapsetTo(row, target, {[](const std::string&) {}, [&] { copyEnd = Clock::now(); }});
    const double whole = secondsSince(start);
    platform::deleteRegistryTree(platform::kLocalMachine, std::string(catalogue::kFamiliesKey) + "Bench");
    if (!moved) {
        std::fprintf(stderr, "the move failed\n");
        return 1;
    }
    const double megabytes = static_cast<double>(mapSize) * (maps + 1) / (1024.0 * 1024.0);
    const double copying = std::chrono::duration<double>(copyEnd - copyStart).count();
    std::printf("move of %d maps, %.0f MiB in all:\n", maps, megabytes);
    std::printf("  whole move                 %7.2f s\n", whole);
    std::printf("  checks before the question %7.2f s\n",
                std::chrono::duration<double>(copyStart - start).count());
    std::printf("  copy and check of the files %6.2f s, %.0f MiB/s\n", copying, megabytes / copying);
    std::printf("  rest (entry, recycling)    %7.2f s\n", whole - copying);
    std::printf("moved to %s (host %s)\n", (target + "\\Bench").c_str(),
                testing::textOfPath(testing::hostPath(target + "\\Bench")).c_str());
    emptyRecycleBin();
    return 0;
}
