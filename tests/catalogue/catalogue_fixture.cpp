#include "catalogue/catalogue_fixture.h"

#include "platform/portable/scripted_ui.h"
#include "platform/ui.h"
#include "support/test_folder.h"

#include <filesystem>
#include <fstream>

namespace oxlo::testing {

namespace scripted = oxlo::platform::scripted;

void CatalogueTest::SetUp()
{
    cleanMapsource();
    FolderTest::SetUp();
    ASSERT_NE(platform::openWindow(0, 0, 0, 460, 244, "Oxlo", platform::kWindowTitleBar), 0);
    ASSERT_NE(platform::createControl(1, platform::ControlKind::Label, 15, 15, 280, 20,
                                      "Installed Mapsets:"),
              0);
    ASSERT_NE(platform::createControl(0, platform::ControlKind::ReportList, 15, 35, 330, 190, ""),
              0);
}

void CatalogueTest::TearDown()
{
    FolderTest::TearDown();
    cleanMapsource();
    EXPECT_EQ(scripted::pendingSteps(), 0);
}

std::string CatalogueTest::makeTdb(const std::string& fileName, std::uint16_t code)
{
    const std::string path = folder_ + "\\" + fileName;
    const auto host = hostPath(path);
    std::filesystem::create_directories(host.parent_path());
    if (code == 152) {
        std::filesystem::copy_file(std::filesystem::path(OXLO_TEST_DATA) / "village.tdb", host,
                                   std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    // The head of a .TDB header block: id 0x50, length, product code, family ID, version.
    const char bytes[] = {0x50,
                          0x10,
                          0x00,
                          static_cast<char>(code & 0xFF),
                          static_cast<char>(code >> 8),
                          0x71,
                          0x17,
                          0x64,
                          0x00,
                          'S',
                          0};
    std::ofstream(host, std::ios::binary).write(bytes, sizeof bytes);
    return path;
}

std::string CatalogueTest::makeFile(const std::string& relativePath, const std::string& content)
{
    const std::string path = folder_ + "\\" + relativePath;
    const auto host = hostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
    return path;
}

bool CatalogueTest::fileExists(const std::string& windowsPath) const
{
    return std::filesystem::exists(hostPath(windowsPath));
}

void CatalogueTest::addFamily(const std::string& name, unsigned idType,
                              const std::vector<unsigned char>& id, const std::string& loc,
                              const std::string& tdb)
{
    putValue(kFamilies + "\\" + name, "ID", idType, id);
    putText(kFamilies + "\\" + name + "\\1", "LOC", loc);
    putText(kFamilies + "\\" + name + "\\1", "TDB", tdb);
}

void CatalogueTest::addProduct(const std::string& key, const std::string& loc,
                               const std::string& tdb)
{
    putText(kProducts + "\\" + key, "LOC", loc);
    putText(kProducts + "\\" + key, "TDB", tdb);
}

std::vector<std::string> CatalogueTest::listRows()
{
    std::vector<std::string> rows;
    if (const auto* list = scripted::findControl(0)) {
        for (std::string row : list->rows) {
            const auto split = row.find('\n');
            if (split != std::string::npos) {
                row[split] = '|';
            }
            rows.push_back(row);
        }
    }
    return rows;
}

std::string CatalogueTest::label()
{
    const auto* control = scripted::findControl(1);
    return control ? control->text : "(no label)";
}

} // namespace oxlo::testing
