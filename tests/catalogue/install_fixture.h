// The install's tests start from the downloaded mapsets of tests/data/ready (made by mkgmap),
// copied into the test folder, and look at the registry and files without the install's code.
#pragma once

#include "catalogue/backup_fixture.h"

#include "catalogue/registry_file.h"
#include "catalogue/registry_tree.h"
#include "platform/portable/scripted_ui.h"
#include "support/shown_messages.h"

namespace oxlo::testing {

class InstallTest : public BackupTest {
protected:
    // tests/data/ready/NAME copied to the test folder; its Windows path.
    std::string ready(const std::string& name) { return readyAs(name, name); }
    // The same copied to the folder `folderName` of the test folder.
    std::string readyAs(const std::string& name, const std::string& folderName)
    {
        const std::string folder = folder_ + "\\" + folderName;
        std::filesystem::copy(std::filesystem::path(OXLO_TEST_DATA) / "ready" / name,
                              hostPath(folder), std::filesystem::copy_options::recursive);
        return folder;
    }
    // Everything below the Mapsource key, as a .reg file would hold it ("" when it is not there).
    static std::string catalogueText()
    {
        const auto tree = catalogue::readRegistryTree(platform::kLocalMachine, kMapsource);
        return tree ? catalogue::registryFileText(kMapsource, *tree) : std::string();
    }
};

} // namespace oxlo::testing
