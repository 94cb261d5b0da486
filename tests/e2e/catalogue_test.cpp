// The catalogue as a newcomer meets it: mapsets registered by hand with Wine's own `reg add` (in
// the 32-bit view, where MapSource looks) are listed by Oxlo, an old-form product entry is
// repaired on request, and a mapset is uninstalled through the real buttons and boxes.
#include "catalogue_fixture.h"

namespace oxlo::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

using Catalogue = CatalogueEndToEndTest;

TEST_F(Catalogue, MapsetsRegisteredByHandAreListedRepairedAndUninstalled)
{
    // Families with a binary and a double-word ID; products under a code (152, and 999 whose
    // index says 152), and one in the old form under its name.
    const std::string alps = makeMapsetFolder("Alps");
    regAddFamily("Alps", "7117", alps, alps + "\\Alps.TDB");
    regAdd(kFamilies + "Dolomites", "/v ID /t REG_DWORD /d 6002");
    regAddText(kFamilies + "Dolomites\\1", "LOC", "C:\\Maps\\Dolomites");
    const std::string village = makeMapsetFolder("Village");
    regAddText(kProducts + "152", "LOC", village);
    regAddText(kProducts + "152", "TDB", village + "\\Village.TDB");
    const std::string topo = makeMapsetFolder("Topo");
    regAddText(kProducts + "999", "LOC", topo);
    regAddText(kProducts + "999", "TDB", topo + "\\Topo.TDB");
    const std::string lakes = makeMapsetFolder("Lakes", 200);
    regAddText(kProducts + "Lakes", "LOC", lakes);
    regAddText(kProducts + "Lakes", "TDB", lakes + "\\Lakes.TDB");

    oxlo_ = startOxlo();
    answer(expectBox("Read Mapset",
                     "Mapset Lakes is incompatible with Mapsource 6.14.1 or later. Fix?",
                     {IDYES, IDNO}),
           IDYES);
    HWND window = waitForMainWindow(oxlo_);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(waitForLabel(window, "5 Installed Mapsets"), nullptr);
    HWND list = findControl(window, "SysListView32", "");
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    EXPECT_EQ(view.rows(), (Rows{{"FID6001", "Alps"},
                                 {"FID6002", "Dolomites"},
                                 {"COD152", "Village"},
                                 {"COD152", "Topo"},
                                 {"COD200", "Lakes"}}));

    // The repair moved Lakes under its code, with the three values MapSource reads.
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kProducts + "Lakes"));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "LOC"), lakes);
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "TDB"),
              lakes + "\\Lakes.TDB");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "BMAP"),
              lakes + "\\Lakes.IMG");
    saveScreenshot(window, "catalogue-listed");

    // Uninstall Topo: its key is 999 although its index holds 152, and 152 is Village's key.
    view.selectRow(3);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Products\\999' ?",
                     {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset", "Do you wish to delete the mapset files?", {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset", "Uninstall Successful.", {IDOK}), IDOK);

    ASSERT_NE(waitForLabel(window, "4 Installed Mapsets"), nullptr);
    EXPECT_EQ(view.rows(), (Rows{{"FID6001", "Alps"},
                                 {"FID6002", "Dolomites"},
                                 {"COD152", "Village"},
                                 {"COD200", "Lakes"}}));
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kProducts + "999"));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "152", "LOC"), village);
    EXPECT_FALSE(fileExists(topo + "\\Topo.TDB"));
    EXPECT_FALSE(fileExists(topo)) << "the emptied mapset folder stays";
    EXPECT_TRUE(fileExists(village + "\\Village.TDB"));

    // Declining the confirmation changes nothing.
    view.selectRow(0);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Families\\Alps' ?",
                     {IDYES, IDNO}),
           IDNO);
    answer(expectBox("Uninstall Mapset", "Uninstall Cancelled.", {IDOK}), IDOK);
    EXPECT_TRUE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1"));
    EXPECT_EQ(view.rowCount(), 4);
    EXPECT_TRUE(fileExists(alps + "\\Alps.TDB"));
}

} // namespace
} // namespace oxlo::e2e
