// BaseCamp bundles made in the known folders for a test, and the folders emptied again: for every
// test program whose operation counts bundles.
#pragma once

#include "platform/shell_folders.h"
#include "support/test_folder.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace oxlo::testing {

inline std::string mapsFolder(platform::KnownFolder where)
{
    return platform::knownFolderPath(where) + "\\Garmin\\Maps";
}

// A copy of mkgmap's bundle (tests/data/bundles/Test Fam.gmap, family 4711) as FOLDER in
// `where`; `info` replaces its Info.xml when given. Returns the bundle's path.
inline std::string addBundle(platform::KnownFolder where, const std::string& folder,
                             const std::string* info = nullptr)
{
    const std::string path = mapsFolder(where) + "\\" + folder;
    const auto host = hostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::filesystem::copy(std::filesystem::path(OXLO_TEST_DATA) / "bundles" / "Test Fam.gmap",
                          host, std::filesystem::copy_options::recursive);
    if (info) std::ofstream(host / "Info.xml", std::ios::binary | std::ios::trunc) << *info;
    return path;
}

// An Info.xml naming only the bundle's Name and family ID.
inline std::string infoOf(const std::string& name, int id)
{
    return "<MapProduct xmlns=\"http://www.garmin.com/xmlschemas/MapProduct/v1\"><Name>" + name +
           "</Name><ID>" + std::to_string(id) + "</ID></MapProduct>";
}

// Empties both Garmin\Maps folders.
inline void clearBundleFolders()
{
    for (auto where : {platform::KnownFolder::ProgramData, platform::KnownFolder::RoamingAppData}) {
        std::error_code ignored;
        std::filesystem::remove_all(hostPath(mapsFolder(where)), ignored);
    }
}

} // namespace oxlo::testing
