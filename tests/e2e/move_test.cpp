// Move Mapset through the real window: the row's context menu, the folder chooser with its text,
// the question, the progress in the title while a big map is copied, and the outcome on disk and
// in the registry (the mapset's entry and the Windows Uninstall entry an installer left).
#include "catalogue_fixture.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace oxlo::e2e {
namespace {

using MoveMapset = CatalogueEndToEndTest;

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hills";

TEST_F(MoveMapset, TheContextMenuMovesTheMapsetWithItsProgressInTheTitle)
{
    const std::string hills = workFolder() + "\\Hills";
    makeEmptyFolder(hills);
    for (const char* file : {"Hills.tdb", "Hills.img", "63250001.img", "63250002.img", "Hills.mdx",
                             "Hills_mdr.img", "hills.typ"})
        copyFile(data_ + "\\ready\\Hills\\" + file, hills + "\\" + file);
    // A map of 96 MB, so that the copying lasts long enough to be seen in the title.
    std::filesystem::resize_file(hills + "\\63250001.img", 96 << 20);
    std::ofstream(hills + "\\notes.txt") << "the user's own";
    regAddFamily("Hills", "7517", hills, hills + "\\Hills.tdb");
    regAddText(kFamilies + "Hills\\1", "BMAP", hills + "\\Hills.img");
    regAddText(kFamilies + "Hills", "TYP", hills + "\\hills.typ");
    regAddText(kFamilies + "Hills", "IDX", hills + "\\Hills.mdx");
    regAddText(kFamilies + "Hills", "MDR", hills + "\\Hills_mdr.img");
    regAddText(kUninstall, "InstallLocation", hills);
    // Another drive: the chooser starts in the mapset's parent folder, and Wine's chooser loses
    // its way in a folder it has expanded already.
    const std::string target = "C:\\Maps";
    const std::string moved = target + "\\Hills";
    makeEmptyFolder(target);

    HWND window = nullptr;
    HWND list = startWithList("1 Installed Mapsets", &window);
    ASSERT_NE(list, nullptr);
    const RECT row = RemoteListView(list).rowRect(0);
    rightClickWithMouse(list, (row.left + row.right) / 2, (row.top + row.bottom) / 2);
    HWND menu = waitForContextMenu();
    ASSERT_NE(menu, nullptr) << "no context menu on the row";
    saveScreenshot(menu, "move-context-menu");
    // Install, Check, Open Folder, Locate Folder, then Move Mapset (the separator is skipped).
    for (int down = 0; down < 5; ++down) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND chooser = waitForTopLevelWindow(oxlo_.id(), "Browse for Folder", kDefaultWait, "#32770");
    ASSERT_NE(chooser, nullptr) << "Move Mapset opened no folder chooser";
    EXPECT_TRUE(waitUntil([&] {
        return findControl(chooser, "Static", "Choose the folder to move mapset Hills into");
    })) << "the chooser does not say what it is for";
    chooseFolder(chooser, target);

    const MessageBoxInfo question =
        expectBox("Move Mapset",
                  "Move mapset Hills from " + hills + " to " + moved +
                      "? Its files are copied, checked, and then go from " + hills +
                      " to the Recycle Bin.",
                  {IDYES, IDNO});
    answer(question, IDYES);
    std::string progress;
    waitUntil([&] {
        progress = windowText(window);
        return progress.rfind("Moving Hills: ", 0) == 0;
    });
    EXPECT_NE(progress.find(" of 7 files"), std::string::npos) << progress;
    saveScreenshot(window, "move-progress");
    answer(expectBox("Move Mapset", "Mapset Hills moved to " + moved + ".", {IDOK}), IDOK);
    EXPECT_EQ(windowText(window), kMainWindowTitle);

    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills\\1", "LOC"), moved);
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills\\1", "TDB"),
              moved + "\\Hills.tdb");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Hills", "MDR"),
              moved + "\\Hills_mdr.img");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kUninstall, "InstallLocation"), moved);
    EXPECT_EQ(std::filesystem::file_size(moved + "\\63250001.img"), 96u << 20);
    EXPECT_TRUE(fileExists(moved + "\\hills.typ"));
    EXPECT_FALSE(fileExists(hills + "\\Hills.tdb")) << "the old files went";
    EXPECT_TRUE(fileExists(hills + "\\notes.txt")) << "the user's own file stays";
    saveScreenshot(window, "move-done");
    deleteRegistryTree32(HKEY_LOCAL_MACHINE, kUninstall);
}

} // namespace
} // namespace oxlo::e2e
