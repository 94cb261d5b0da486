// Benchmark (not a test): time and peak memory of readMapAttributes on a generated 1 GiB map with
// its TRE header near the start and near the end, beside a plain read of the whole file into one
// block. Portable build only (Linux); build it in Release without sanitizers for real figures:
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DOXLO_SANITIZE=OFF
//   cmake --build build/bench --target map_search_bench && build/bench/tests/mapfile/map_search_bench
// The map is written to a temporary folder and removed at the end; the page cache is warm, as it
// is after a map has just been chosen in the Create Mapset window.
#include "mapfile/map_file.h"
#include "platform/portable/portable_files.h"
#include "platform/services.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kMapSize = std::int64_t{1} << 30;
constexpr std::size_t kWriteChunk = 1 << 20;

// A field of /proc/self/status in KiB: VmHWM the peak resident memory, VmRSS the current one.
long statusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == field) {
            long value = 0;
            status >> value;
            return value;
        }
    }
    return -1;
}

long peakKiB()
{
    return statusKiB("VmHWM:");
}

// Resets the peak to the current resident memory (Linux 4.0 and later) and returns that.
long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKiB("VmRSS:");
}

// Map-like filler: pseudo-random bytes, so that the search meets its first byte ('G') about once
// every 256 bytes, as in real map data.
void writeMap(const fs::path& path, std::int64_t headerAt)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<char> chunk(kWriteChunk);
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::int64_t written = 0; written < kMapSize;
         written += static_cast<std::int64_t>(kWriteChunk)) {
        for (char& byte : chunk) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            byte = static_cast<char>(state >> 24);
            if (byte == 'G') {
                byte = 'g'; // no accidental signature
            }
        }
        if (headerAt >= written && headerAt < written + static_cast<std::int64_t>(kWriteChunk)) {
            const std::string header = std::string("\xBC\x00", 2) + "GARMIN TRE";
            const auto at = static_cast<std::size_t>(headerAt - written);
            std::copy(header.begin(), header.end(), chunk.begin() + static_cast<std::ptrdiff_t>(at));
            chunk[at + 0x3F] = 3;
            chunk[at + 0x40] = 24;
        }
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
}

void report(const char* what, Clock::duration took, long before, const std::string& result)
{
    const double ms = std::chrono::duration<double, std::milli>(took).count();
    std::printf("%-36s %9.1f ms  peak %8ld KiB (+%ld KiB)  %s\n", what, ms, peakKiB(),
                peakKiB() - before, result.c_str());
}

void searchCase(const char* what, const std::string& map)
{
    const long before = resetPeak();
    oxlo::mapfile::mapAttributes = {};
    const auto start = Clock::now();
    const int result = oxlo::mapfile::readMapAttributes(map, "GARMIN TRE", 10);
    const auto took = Clock::now() - start;
    const auto& found = oxlo::mapfile::mapAttributes;
    report(what, took, before,
           "result " + std::to_string(result) + ", headerEnd " + std::to_string(found.headerEnd) +
               ", transparency " + std::to_string(found.transparency) + ", priority " +
               std::to_string(found.drawPriority));
}

void plainRead(const char* what, const std::string& map)
{
    const long before = resetPeak();
    const auto start = Clock::now();
    std::vector<char> whole(static_cast<std::size_t>(oxlo::platform::fileSize(map)));
    oxlo::platform::openFileForReading(5, map);
    std::size_t total = 0;
    while (total < whole.size()) {
        const std::size_t got = oxlo::platform::readData(5, whole.data() + total, whole.size() - total);
        if (got == 0) {
            break;
        }
        total += got;
    }
    oxlo::platform::closeFile(5);
    const auto took = Clock::now() - start;
    report(what, took, before, std::to_string(total) + " bytes in one block");
}

} // namespace

int main()
{
#ifndef NDEBUG
    std::printf("note: a debug build; build in Release without sanitizers for real figures\n");
#endif
    const fs::path root = fs::temp_directory_path() / "oxlo-map-search-bench";
    fs::remove_all(root);
    fs::create_directories(root);
    oxlo::platform::setHostRoot(root);
    const std::string map = "C:\\bench.img";
    const fs::path host = oxlo::platform::hostPathOf(map);

    std::printf("map of %lld bytes, search chunk %zu bytes, baseline peak %ld KiB\n",
                static_cast<long long>(kMapSize), oxlo::mapfile::kSearchChunkSize, peakKiB());

    writeMap(host, 4096);
    searchCase("readMapAttributes, header at 4 KiB", map);
    searchCase("  (again)", map);

    writeMap(host, kMapSize - 4096);
    searchCase("readMapAttributes, header at end", map);
    searchCase("  (again)", map);
    plainRead("plain read of the whole file", map);

    fs::remove_all(root);
    return 0;
}
