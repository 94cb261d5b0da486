// A fixture for end-to-end tests of the commands that run mkgmap on a registered mapset from the
// row's context menu: the stand-in java.exe where JAVA_HOME says, mkgmap.jar in the folder Oxlo
// starts in.
#pragma once

#include "catalogue_fixture.h"

#include <string>
#include <vector>

namespace oxlo::e2e {

class MkgmapEndToEndTest : public CatalogueEndToEndTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A right click on the first row, then the item `upPresses` up from the menu's end (1: the
    // last one) chosen with the keyboard. False (the test has failed) when no menu comes.
    bool chooseFromRowMenu(HWND list, int upPresses);
    // The names in `folder`, sorted.
    static std::vector<std::string> names(const std::string& folder);
};

} // namespace oxlo::e2e
