// build_overhead_bench [RUNS]
// The build's own cost: buildMapset with the stand-in tools, less what the tools' runs and the
// map copies take by themselves (each timed alone with the same inputs). What remains is
// Oxlo's own work: checks, control file, overview filter, registration, stamp and rescan-free
// bookkeeping. Prints medians; asserts nothing. Natively it runs under the sanitizers, so the
// Windows build under Wine (build/mingw/tests/builder/build_overhead_bench.exe) gives the figure
// that counts.
#include "builder/create_window_controls.h"
#include "builder/map_copy.h"
#include "builder/mapset_build.h"
#include "catalogue/registry_layout.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "support/test_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace oxlo;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void writeMap(const std::string& path, std::size_t size) {
    platform::createFile(5, path);
    platform::writeString(5, std::string(size, 'm'));
    platform::closeFile(5);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const std::string folder = testing::freshTestFolder("build-overhead-bench");
    const std::string start = platform::getCurrentDirectory();
    builder::MapsetBuildRequest request;
    request.folder = folder + "\\Bench";
    request.familyId = 6001;
    request.compilerPath = testing::standInProgram("cgpsmapper");
    request.previewPath = testing::standInProgram("cpreview");
    platform::createDirectory(folder + "\\maps");
    for (const char* map : {"12345678.img", "23456789.img", "34567890.img"}) {
        writeMap(folder + "\\maps\\" + map, 200 * 1024);
        request.maps.push_back(folder + "\\maps\\" + map);
    }
    platform::openWindow(builder::kCreateWindow, 0, 0, 503, 432, "Create Mapset", 0);
    platform::scripted::answerUnqueuedMessages([](const auto&) { return platform::kAnswerOk; });

    std::vector<double> builds, tools, copies, filters, registrations;
    for (int run = 0; run <= runs; ++run) {
        request.name = "Bench" + std::to_string(run);
        platform::setCurrentDirectory(start);
        auto t = Clock::now();
        if (!builder::buildMapset(request)) {
            std::fprintf(stderr, "build %d failed\n", run);
            return 1;
        }
        const double build = since(t);
        // The same tool runs alone, in the folder the build left.
        t = Clock::now();
        builder::runToolAndCollectOutput(request.previewPath, "Oxlo.txt");
        builder::runToolAndCollectOutput(request.compilerPath, "-e \"" + request.name + ".mp\"");
        const double tool = since(t);
        t = Clock::now();
        int number = 0;
        for (const std::string& map : request.maps)
            builder::copyMapInPieces(map, request.folder + "\\copy.img", ++number, 3);
        const double copy = since(t);
        // Two of the steps of Oxlo's own, again alone (the build left their inputs).
        platform::setCurrentDirectory(request.folder);
        t = Clock::now();
        builder::filterOverviewSource(request.name);
        const double filter = since(t);
        t = Clock::now();
        builder::EarlierOutputs written;
        builder::registerMapset(request, false, written);
        written.discard();
        const double registration = since(t);
        platform::deleteRegistryTree(platform::kLocalMachine, catalogue::kFamiliesKey + request.name);
        if (run == 0) continue; // warms the caches
        builds.push_back(build);
        tools.push_back(tool);
        copies.push_back(copy);
        filters.push_back(filter);
        registrations.push_back(registration);
    }
    platform::setCurrentDirectory(start);
    const double build = median(builds), tool = median(tools), copy = median(copies);
    std::printf("build of 3 maps of 200 KiB with the stand-in tools, medians of %d runs:\n", runs);
    std::printf("  whole build      %7.1f ms\n", build);
    std::printf("  the two tools    %7.1f ms\n", tool);
    std::printf("  the map copies   %7.1f ms\n", copy);
    std::printf("  Oxlo's own work  %7.1f ms, of which\n", build - tool - copy);
    std::printf("    overview filter  %7.1f ms\n", median(filters));
    std::printf("    registration     %7.1f ms\n", median(registrations));
    return 0;
}
