// A BaseCamp bundle in %ProgramData%\Garmin\Maps as a user meets it in the real window: listed
// after the registered mapsets, refused by Edit, and uninstalled to the Recycle Bin.
#include "catalogue_fixture.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>

namespace oxlo::e2e {
namespace {

using Bundles = CatalogueEndToEndTest;
namespace fs = std::filesystem;

fs::path programDataMaps()
{
    PWSTR path = nullptr;
    SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path);
    const fs::path maps = fs::path(path) / "Garmin" / "Maps";
    CoTaskMemFree(path);
    return maps;
}

TEST_F(Bundles, ABundleIsListedRefusedByEditAndUninstalledThroughTheRealWindow)
{
    const std::string alps = makeMapsetFolder("Alps");
    regAddFamily("Alps", "7117", alps, alps + "\\Alps.TDB");
    const fs::path bundle = programDataMaps() / "Test Fam.gmap";
    fs::create_directories(bundle.parent_path());
    fs::copy(fs::path(data_) / "bundles" / "Test Fam.gmap", bundle, fs::copy_options::recursive);

    oxlo_ = startOxlo();
    HWND window = waitForMainWindow(oxlo_);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(waitForLabel(window, "2 Installed Mapsets"), nullptr);
    HWND list = findControl(window, "SysListView32", "");
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    EXPECT_EQ(view.rows(), (std::vector<std::vector<std::string>>{{"FID6001", "Alps"},
                                                                  {"GMAP4711", "Test Fam"}}));
    saveScreenshot(window, "bundle-listed");

    view.selectRow(1);
    clickButton(findControl(window, "Button", "&Edit"));
    answer(expectBox("Edit Mapset",
                     "Mapset Test Fam is a BaseCamp bundle. Oxlo edits mapsets registered for "
                     "MapSource only.",
                     {IDOK}),
           IDOK);

    RemoteListView(list).selectRow(1);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Maps\\Test Fam.gmap' ?",
                     {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset", "Uninstall Successful.", {IDOK}), IDOK);
    ASSERT_NE(waitForLabel(window, "1 Installed Mapsets"), nullptr);
    EXPECT_FALSE(fs::exists(bundle));
}

} // namespace
} // namespace oxlo::e2e
