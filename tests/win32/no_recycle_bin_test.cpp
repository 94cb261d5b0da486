// Taking a bundle folder away where the Recycle Bin cannot take it: ctest runs this program with
// XDG_DATA_HOME naming a plain file, so Wine has no trash and its shell would delete for good
// what it was given. The folder must stay whole, and nothing of the test of the bin is left.
#include "platform/shell_folders.h"
#include "win32/scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

namespace platform = oxlo::platform;
using oxlo::win32test::fileContent;
using oxlo::win32test::scratchFolder;
using oxlo::win32test::writeScratchFile;

namespace {

TEST(Win32NoRecycleBin, AFolderTheBinCannotTakeIsLeftWholeAndSaidSo) {
    const std::string folder = scratchFolder("no-bin");
    const std::string bundle = folder + "Test Fam.gmap";
    ASSERT_TRUE(::CreateDirectoryA(bundle.c_str(), nullptr));
    writeScratchFile(bundle + "\\Info.xml", "info");
    EXPECT_EQ(platform::moveToRecycleBin(bundle), platform::Recycling::noRecycleBin);
    EXPECT_EQ(fileContent(bundle + "\\Info.xml"), "info");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Test Fam.gmap"});
    EXPECT_EQ(platform::moveToRecycleBin(folder + "missing"), platform::Recycling::failed);
}

} // namespace
