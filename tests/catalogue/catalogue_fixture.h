// A clean MapSource catalogue, the main window's list and label, and a test folder with mapset
// files, for the scan and uninstall tests.
#pragma once

#include "support/folder_test.h"
#include "support/registry_access.h"
#include "support/shown_messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::testing {

inline const std::string kFamilies = kMapsourceFamilies;
inline const std::string kProducts = kMapsourceProducts;

class CatalogueTest : public FolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A .TDB file in the test folder whose product code (bytes 3-4) is `code`; the real mkgmap
    // index (code 152) when `code` is 152. Returns its Windows path.
    std::string makeTdb(const std::string& fileName, std::uint16_t code);
    std::string makeFile(const std::string& relativePath, const std::string& content = "map");
    bool fileExists(const std::string& windowsPath) const;

    // A family with its "ID" stored as given and its subkey 1 with LOC and TDB.
    void addFamily(const std::string& name, unsigned idType, const std::vector<unsigned char>& id,
                   const std::string& loc, const std::string& tdb);
    void addProduct(const std::string& key, const std::string& loc, const std::string& tdb);

    // The main list's rows as "code|name", and the label text.
    static std::vector<std::string> listRows();
    static std::string label();
};

} // namespace oxlo::testing
