// oxlo_list_bench OXLO.EXE WORK-FOLDER TDB-FILE BUNDLE-FOLDER [RUNS]
// How long Oxlo takes to list a big collection, measured from outside as a user sees it: from
// the start of oxlo.exe to the filled list, and from a click on Refresh to the list filled again.
// Each catalogue is written into this prefix's registry (32-bit view) and Garmin\Maps folders
// first: none, 60 families with 40 numeric products (each with its own copy of TDB-FILE), 100
// families, and 80 families with 20 copies of the BaseCamp bundle BUNDLE-FOLDER (the table's 100
// rows). Prints the median and the range of RUNS runs (default 7) of each. Not a test: nothing is
// asserted.
// tools/bench-list.sh runs it in a throwaway prefix.
#include "driver/driver.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

using namespace oxlo::e2e;
namespace fs = std::filesystem;

namespace {

constexpr char kMainWindowTitle[] = "Oxlo by Oxlo contributors";
const std::string kMapsource = "SOFTWARE\\Garmin\\Mapsource";
using Clock = std::chrono::steady_clock;

struct Catalogue {
    const char* name;
    int families;
    int products;
    int bundles;
};

fs::path programDataMaps() {
    PWSTR path = nullptr;
    SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path);
    const fs::path maps = fs::path(path) / "Garmin" / "Maps";
    CoTaskMemFree(path);
    return maps;
}

// Copies of one bundle, all holding its family ID: each is read and checked in full, as any.
void writeBundles(int count, const std::string& bundle) {
    const fs::path maps = programDataMaps();
    fs::remove_all(maps);
    fs::create_directories(maps);
    for (int i = 0; i < count; ++i)
        fs::copy(bundle, maps / ("Bundle" + std::to_string(100 + i) + ".gmap"),
                 fs::copy_options::recursive);
}

void writeCatalogue(const Catalogue& catalogue, const std::string& work, const std::string& tdb,
                    const std::string& bundle) {
    writeBundles(catalogue.bundles, bundle);
    deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
    writeRegistryString32(HKEY_LOCAL_MACHINE, kMapsource, "Bench", "1");
    for (int i = 0; i < catalogue.families; ++i) {
        const std::string name = "Family" + std::to_string(100 + i);
        const std::string key = kMapsource + "\\Families\\" + name;
        const int id = 6001 + i;
        writeRegistryBinary32(HKEY_LOCAL_MACHINE, key, "ID",
                              {static_cast<unsigned char>(id & 0xFF),
                               static_cast<unsigned char>(id >> 8)});
        writeRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "LOC", work + "\\" + name);
        writeRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "TDB",
                              work + "\\" + name + "\\" + name + ".TDB");
        writeRegistryString32(HKEY_LOCAL_MACHINE, key + "\\1", "BMAP",
                              work + "\\" + name + "\\" + name + ".img");
    }
    for (int i = 0; i < catalogue.products; ++i) {
        const std::string name = "Product" + std::to_string(100 + i);
        const std::string folder = work + "\\" + name;
        makeEmptyFolder(folder);
        copyFile(tdb, folder + "\\" + name + ".TDB");
        const std::string key = kMapsource + "\\Products\\" + std::to_string(1000 + i);
        writeRegistryString32(HKEY_LOCAL_MACHINE, key, "LOC", folder);
        writeRegistryString32(HKEY_LOCAL_MACHINE, key, "TDB", folder + "\\" + name + ".TDB");
        writeRegistryString32(HKEY_LOCAL_MACHINE, key, "BMAP", folder + "\\" + name + ".img");
    }
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The list shows `rows` rows and no selection (as right after a scan); each look at it waits
// while Oxlo is busy, so the first look that sees it comes right after the scan.
bool listFilled(HWND window, int rows) {
    HWND list = findControl(window, "SysListView32", "");
    if (!list) return false;
    RemoteListView view(list);
    return view.rowCount() == rows && view.selectedRow() < 0 &&
           findControl(window, "Static", std::to_string(rows) + " Installed Mapsets") != nullptr;
}

struct Run {
    double start = 0;
    double refresh = 0;
};

Run measureOnce(const std::string& oxloExe, const std::string& work, int rows) {
    Run run;
    const Clock::time_point started = Clock::now();
    Process oxlo = Process::start(oxloExe, work);
    HWND window = nullptr;
    if (!waitUntil([&] {
            window = findTopLevelWindow(oxlo.id(), kMainWindowTitle);
            return window && listFilled(window, rows);
        }, milliseconds(30000)))
        throw std::runtime_error("the list was not filled within 30 s");
    run.start = millisecondsSince(started);

    // A selected row tells the list before Refresh from the list after it.
    HWND list = findControl(window, "SysListView32", "");
    RemoteListView view(list);
    if (rows > 0) view.selectRow(0);
    const Clock::time_point clicked = Clock::now();
    clickButton(findControl(window, "Button", "&Refresh"));
    if (!waitUntil([&] { return listFilled(window, rows); }, milliseconds(30000)))
        throw std::runtime_error("Refresh did not fill the list within 30 s");
    run.refresh = millisecondsSince(clicked);
    oxlo.terminate();
    return run;
}

struct Figures {
    double median, low, high;
};

Figures figuresOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: oxlo_list_bench OXLO.EXE WORK-FOLDER TDB-FILE BUNDLE-FOLDER "
                             "[RUNS]\n");
        return 2;
    }
    const std::string oxloExe = argv[1], work = argv[2], tdb = argv[3], bundle = argv[4];
    const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 7;
    const Catalogue catalogues[] = {
        {"empty catalogue", 0, 0, 0},
        {"100 mapsets (60 families, 40 products)", 60, 40, 0},
        {"100 families", 100, 0, 0},
        {"80 families and 20 bundles", 80, 0, 20},
    };
    try {
        std::printf("%-40s %22s %22s\n", "catalogue", "start to list, ms", "Refresh, ms");
        Figures emptyStart{}, emptyRefresh{};
        for (const Catalogue& catalogue : catalogues) {
            writeCatalogue(catalogue, work, tdb, bundle);
            const int rows = catalogue.families + catalogue.products + catalogue.bundles;
            measureOnce(oxloExe, work, rows); // warms the caches; not counted
            std::vector<double> starts, refreshes;
            for (int i = 0; i < runs; ++i) {
                const Run run = measureOnce(oxloExe, work, rows);
                starts.push_back(run.start);
                refreshes.push_back(run.refresh);
            }
            const Figures start = figuresOf(starts), refresh = figuresOf(refreshes);
            if (rows == 0) {
                emptyStart = start;
                emptyRefresh = refresh;
            }
            std::printf("%-40s %6.0f (%4.0f-%4.0f) %+6.0f %6.0f (%4.0f-%4.0f) %+6.0f\n",
                        catalogue.name, start.median, start.low, start.high,
                        start.median - emptyStart.median, refresh.median, refresh.low,
                        refresh.high, refresh.median - emptyRefresh.median);
            std::fflush(stdout);
        }
        std::printf("medians of %d runs; the signed figures are the time beyond the empty "
                    "catalogue's\n", runs);
        deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
        writeBundles(0, bundle);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "oxlo_list_bench: %s\n", error.what());
        return 1;
    }
}
