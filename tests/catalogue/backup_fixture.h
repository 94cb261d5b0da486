// Catalogue tests whose operations keep copies of keys: the folder of the copies starts and ends
// empty, and the copies made can be listed and read.
#pragma once

#include "catalogue/catalogue_fixture.h"

#include "catalogue/registry_backup.h"
#include "support/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace oxlo::testing {

inline std::string hostFileText(const std::string& windowsPath)
{
    std::ifstream in(hostPath(windowsPath), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
