// BaseCamp bundles in the known folders, for the scan, check and command tests: both Garmin\Maps
// folders are emptied before and after each test.
#pragma once

#include "catalogue/bundle_folders.h"
#include "catalogue/catalogue_fixture.h"

namespace oxlo::testing {

class BundleTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        clearMaps();
    }
    void TearDown() override
    {
        clearMaps();
        CatalogueTest::TearDown();
    }

    static void clearMaps() { clearBundleFolders(); }
};

} // namespace oxlo::testing
