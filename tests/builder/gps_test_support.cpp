#include "gps_test_support.h"

#include "mapfile/img_directory.h"
#include "support/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace oxlo::testing {

namespace fs = std::filesystem;

catalogue::InstalledMapset familyRowIn(const std::string& loc, const std::string& name,
                                       std::int32_t id)
{
    catalogue::InstalledMapset row;
    row.name = row.keyName = name;
    row.branch = "Families";
    row.form = "F";
    row.productKey = "1";
    row.id = id;
    row.loc = loc;
    row.tdb = loc + "\\" + name + ".tdb";
    return row;
}

catalogue::InstalledMapset readyMapset(const std::string& folder, const std::string& name,
                                       std::int32_t id, const std::string& typ)
{
    const std::string loc = folder + "\\" + name;
    fs::copy(fs::path(OXLO_TEST_DATA) / "ready" / name, hostPath(loc));
    catalogue::InstalledMapset row = familyRowIn(loc, name, id);
    row.typ = typ.empty() ? "" : loc + "\\" + typ;
    return row;
}

void setGpsCatalogue(const std::vector<catalogue::InstalledMapset>& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) catalogue::installedMapsets[i + 1] = rows[i];
    catalogue::mapsetCount = static_cast<int>(rows.size());
}

void patchWord(const std::string& windowsPath, std::size_t position, std::uint16_t value)
{
    std::fstream file(hostPath(windowsPath), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(position));
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    file.write(bytes, 2);
}

std::vector<std::string> folderContent(const std::string& windowsPath)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(hostPath(windowsPath)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> subfilesOf(const std::string& windowsPath)
{
    const auto directory = mapfile::readImgDirectoryOf(windowsPath);
    if (!directory) return {"(none)"};
    std::vector<std::string> names;
    for (const auto& subfile : *directory) names.push_back(subfile.name + "." + subfile.type);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace oxlo::testing
