// Uninstalling one of two mapsets that share a folder through the real window and boxes: the
// files the other mapset needs are never offered for deletion.
#include "catalogue_fixture.h"

namespace oxlo::e2e {
namespace {

using SharedFolder = CatalogueEndToEndTest;

TEST_F(SharedFolder, UninstallKeepsTheFilesAnotherMapsetUses)
{
    const std::string folder = makeMapsetFolder("Alps");
    copyFile(folder + "\\Alps.TDB", folder + "\\Bern.TDB");
    regAddFamily("Alps", "7117", folder, folder + "\\Alps.TDB");
    // The other mapset spells the same folder in capitals and with a trailing backslash.
    std::string spelledOtherwise = folder;
    for (char& letter : spelledOtherwise) letter = static_cast<char>(toupper(letter));
    // reg takes a backslash before the closing quote as an escape: two give the one stored.
    regAddFamily("Bern", "7217", spelledOtherwise + "\\\\", folder + "\\Bern.TDB");

    oxlo_ = startOxlo();
    HWND window = waitForMainWindow(oxlo_);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(waitForLabel(window, "2 Installed Mapsets"), nullptr);
    RemoteListView view(findControl(window, "SysListView32", ""));
    view.selectRow(0);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Families\\Alps' ?",
                     {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset",
                     "The mapset files stay in " + folder +
                         " because mapset Families\\Bern uses that folder too.",
                     {IDOK}),
           IDOK);
    answer(expectBox("Uninstall Mapset", "Uninstall Successful.", {IDOK}), IDOK);

    ASSERT_NE(waitForLabel(window, "1 Installed Mapsets"), nullptr);
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Alps"));
    EXPECT_TRUE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Bern\\1"));
    for (const char* file : {"Alps.TDB", "Alps.img", "Bern.TDB", "63240002.img"}) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(fileExists(folder + "\\" + file));
    }
}

} // namespace
} // namespace oxlo::e2e
