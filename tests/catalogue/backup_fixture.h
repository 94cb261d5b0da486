// Catalogue tests whose operations keep copies of keys: the folder of the copies starts and ends
// empty, and the copies made can be listed and read.
#pragma once

#include "catalogue/catalogue_fixture.h"

#include "catalogue/registry_backup.h"
#include "platform/registry_store.h"
#include "support/file_bytes.h"
#include "support/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace oxlo::testing {

inline std::string hostFileText(const std::string& windowsPath)
{
    return readWholeWindowsFile(windowsPath).value_or("");
}

// A .reg file (UTF-16LE behind a byte-order mark) in UTF-8 as the sections regedit reads: each
// line in brackets (and the first line) with the lines up to the next one, blank lines left out.
// The value lines are sorted: regedit writes them in the registry's enumeration order, which is
// not the same on every Windows.
using RegSections = std::vector<std::pair<std::string, std::vector<std::string>>>;
inline RegSections regSections(const std::string& bytes)
{
    RegSections sections;
    if (!bytes.starts_with("\xFF\xFE")) return sections;
    std::string line;
    const auto endLine = [&] {
        if (line.empty()) return;
        if (sections.empty() || line.front() == '[') sections.push_back({line, {}});
        else sections.back().second.push_back(line);
        std::sort(sections.back().second.begin(), sections.back().second.end());
        line.clear();
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t c = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) { // a surrogate pair
            const char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                                 static_cast<unsigned char>(bytes[i + 3]) << 8;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (c == '\r') continue;
        if (c == '\n') { endLine(); continue; }
        if (c < 0x80) {
            line += static_cast<char>(c);
        } else if (c < 0x800) {
            line += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            line += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            line += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                     static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    endLine();
    return sections;
}

// A key below Mapsource as a .reg file names it (without brackets): where the 32-bit view is a
// separate one, regedit reaches it through WOW6432Node.
inline std::string regKeyName(const std::string& belowMapsource)
{
    return (platform::registryHasSeparate32BitView()
                ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Garmin\\Mapsource\\"
                : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\Mapsource\\") +
           belowMapsource;
}

class BackupTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        std::filesystem::remove_all(hostPath(catalogue::backupFolder()));
    }
    void TearDown() override
    {
        std::filesystem::remove_all(hostPath(catalogue::backupFolder()));
        CatalogueTest::TearDown();
    }
    // The file names in the folder of the copies, sorted.
    static std::vector<std::string> copies()
    {
        std::vector<std::string> names;
        const auto host = hostPath(catalogue::backupFolder());
        if (std::filesystem::is_directory(host))
            for (const auto& entry : std::filesystem::directory_iterator(host))
                names.push_back(textOfPath(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string copyText(const std::string& name)
    {
        return hostFileText(catalogue::backupFolder() + "\\" + name);
    }
    // Puts a file where the folder of the copies belongs, so that no copy can be written.
    static void blockCopies()
    {
        const auto host = hostPath(catalogue::backupFolder());
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host) << "in the way";
    }
};

} // namespace oxlo::testing
