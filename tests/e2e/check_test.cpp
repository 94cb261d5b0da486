// Broken entries as a user meets them in the real window: a moved and a deleted mapset show in
// dark red with their problems in the row's tooltip, and Check Mapset, Locate Folder and Remove
// Entry (menu commands sent to the main window, as the context menu sends them) repair them.
#include "catalogue_fixture.h"

namespace oxlo::e2e {
namespace {

using CheckMapsets = CatalogueEndToEndTest;

constexpr COLORREF kDarkRed = RGB(192, 0, 0);

// Whether any pixel of the list's row is drawn in `colour`, read from the screen.
bool rowHasColour(HWND list, const RECT& row, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    bool found = false;
    for (int y = row.top; y < row.bottom && !found; ++y) {
        for (int x = row.left; x < row.right && !found; ++x) {
            POINT at{x, y};
            ClientToScreen(list, &at);
            found = GetPixel(screen, at.x, at.y) == colour;
        }
    }
    ReleaseDC(nullptr, screen);
    return found;
}

// The text of the process's tooltip once one shows text containing `part`.
std::string waitForToolTip(DWORD process, const std::string& part)
{
    std::string shown;
    waitUntil([&] {
        for (HWND window : topLevelWindows(process)) {
            if (windowClass(window) != "tooltips_class32") continue;
            shown = windowText(window);
            if (shown.find(part) != std::string::npos) return true;
        }
        return false;
    });
    return shown;
}

void sendCommand(HWND window, int command) { PostMessageA(window, WM_COMMAND, command, 0); }

TEST_F(CheckMapsets, BrokenRowsShowTheirProblemsAndAreRepairedThroughTheRealWindow)
{
    const std::string topo = makeMapsetFolder("Topo");
    regAddText(kProducts + "152", "LOC", topo);
    regAddText(kProducts + "152", "TDB", topo + "\\Topo.TDB");
    const std::string alps = makeMapsetFolder("Alps");
    const std::string gone = workFolder() + "\\Old\\Alps"; // where Alps was registered
    regAddFamily("Alps", "7117", gone, gone + "\\Alps.TDB");
    regAddText(kFamilies + "Alps\\1", "BMAP", gone + "\\Alps.img");
    const std::string cote = workFolder() + "\\Cote";
    regAddFamily("Cote", "7317", cote, cote + "\\Cote.TDB");

    HWND window = nullptr;
    HWND list = startWithList("3 Installed Mapsets", &window);
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    ASSERT_EQ(view.rows(), (std::vector<std::vector<std::string>>{
                               {"FID6001", "Alps"}, {"FID6003", "Cote"}, {"COD152", "Topo"}}));

    // Dark red for the broken rows only (none is selected, so none is highlighted).
    moveMouseTo(window, 400, 10);
    saveScreenshot(window, "check-broken-rows");
    EXPECT_TRUE(rowHasColour(list, view.rowRect(0), kDarkRed));
    EXPECT_TRUE(rowHasColour(list, view.rowRect(1), kDarkRed));
    EXPECT_FALSE(rowHasColour(list, view.rowRect(2), kDarkRed));

    // Resting on a row names its problems.
    const RECT alpsRow = view.rowRect(0);
    moveMouseTo(list, (alpsRow.left + alpsRow.right) / 2, (alpsRow.top + alpsRow.bottom) / 2);
    const std::string tip = waitForToolTip(oxlo_.id(), "does not exist");
    EXPECT_NE(tip.find("The folder " + gone + " does not exist."), std::string::npos) << tip;
    saveScreenshot(window, "check-row-tooltip");

    // The context menu comes where the list asks for it (Shift+F10 asks as WM_CONTEXTMENU).
    view.selectRow(0);
    PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    HWND menu = nullptr;
    EXPECT_TRUE(waitUntil([&] {
        for (HWND candidate : topLevelWindows(oxlo_.id()))
            if (windowClass(candidate) == "#32768") menu = candidate;
        return menu != nullptr;
    })) << "no context menu";
    if (menu) {
        saveScreenshot(menu, "check-context-menu");
        PostMessageA(window, WM_CANCELMODE, 0, 0);
        EXPECT_TRUE(waitForWindowGone(menu));
    }

    // Check Mapset (40001).
    sendCommand(window, 40001);
    answer(expectBox("Check Mapset",
                     "Mapset Families\\Alps:\nThe folder " + gone + " does not exist.",
                     {IDOK}),
           IDOK);

    // Locate Folder (40003) with the folder the mapset was moved to.
    sendCommand(window, 40003);
    HWND chooser = waitForTopLevelWindow(oxlo_.id(), "Browse for Folder", kDefaultWait, "#32770");
    ASSERT_NE(chooser, nullptr);
    chooseFolder(chooser, alps);
    ASSERT_TRUE(waitUntil([&] {
        return readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1", "LOC") == alps;
    })) << "the entry was not pointed at the moved folder";
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1", "TDB"),
              alps + "\\Alps.TDB");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1", "BMAP"),
              alps + "\\Alps.img");

    // Remove Entry (40004) for the mapset whose folder is gone.
    ASSERT_TRUE(waitUntil([&] { return RemoteListView(list).rowCount() == 3; }));
    RemoteListView(list).selectRow(1);
    sendCommand(window, 40004);
    answer(expectBox("Remove Entry",
                     "Remove the registry entry Families\\Cote? Its folder " + cote +
                         " no longer exists.",
                     {IDYES, IDNO}),
           IDYES);
    ASSERT_TRUE(waitUntil([&] { return !registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Cote"); }));
    ASSERT_NE(waitForLabel(window, "2 Installed Mapsets"), nullptr);
    saveScreenshot(window, "check-after-repairs");
    EXPECT_TRUE(fileExists(alps + "\\Alps.TDB")) << "no file is touched";
}

} // namespace
} // namespace oxlo::e2e
