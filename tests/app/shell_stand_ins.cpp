#include "app/shell_stand_ins.h"

#include "builder/bundle_export.h"
#include "builder/create_mapset_window.h"
#include "builder/gps_save.h"
#include "catalogue/bundle_commands.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/mapset_move.h"
#include "catalogue/uninstall.h"
#include "editor/edit_mapset_window.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <algorithm>

namespace oxlo::app_test {

StandIns& standIns()
{
    static StandIns instance;
    return instance;
}

void resetStandIns()
{
    standIns() = StandIns{};
    builder::attributePanelShown = true; // start-up must clear it
    catalogue::installedMapsets.fill(catalogue::InstalledMapset{});
    catalogue::mapsetCount = 0;
}

catalogue::InstalledMapset familyRow(const std::string& name, int id)
{
    catalogue::InstalledMapset row;
    row.name = name;
    row.branch = "Families";
    row.id = id;
    row.form = "F";
    row.keyName = name;
    return row;
}

namespace {

// The task windows reuse the main window's control numbers 0 to 6, destroying its controls.
void takeOverMainControls(int window)
{
    platform::openWindow(window, 0, 0, 300, 200, "task", platform::kWindowTitleBar);
    for (int number = 0; number <= 6; ++number) {
        platform::createControl(number, platform::ControlKind::Field, 10, 10 + 20 * number, 100,
                                18, "");
    }
}

// Like the real task windows, serves events (including those its own fields raised) until the
// window is closed.
void runTask(int window)
{
    if (standIns().duringTask) {
        standIns().duringTask();
    }
    while (platform::waitWindowEvent() != platform::EventKind::Close) {
    }
    platform::closeWindow(window);
}

} // namespace
} // namespace oxlo::app_test

namespace oxlo::catalogue {

std::array<InstalledMapset, kMaxMapsets + 1> installedMapsets;
int mapsetCount = 0;

void scanInstalledMapsets()
{
    auto& record = app_test::standIns();
    if (std::find(record.calls.begin(), record.calls.end(), "scan") == record.calls.end()) {
        record.panelShownAtFirstScan = builder::attributePanelShown;
    }
    record.calls.push_back("scan");

    platform::clearListItems(0);
    installedMapsets.fill(InstalledMapset{});
    int slot = 1;
    for (const InstalledMapset& row : record.registryRows) {
        installedMapsets[slot++] = row;
        platform::addListItem(0, -1, "FID" + platform::textFromNumber(row.id) + "\n" + row.name);
    }
    mapsetCount = platform::countListItems(0);
    platform::setControlText(1, platform::textFromNumber(mapsetCount) + " Installed Mapsets");
}

// Edit goes on for every row here; the refusal of bundles is tested with the catalogue.
bool refuseBundleEdit(int) { return false; }

void uninstallMapset(int row)
{
    app_test::standIns().calls.push_back("uninstall " + std::to_string(row));
}

std::vector<platform::MenuItem> mapsetMenu(int row)
{
    app_test::standIns().calls.push_back("menu " + std::to_string(row));
    return {{40001, "First", row > 0}, {40002, "Second", false}};
}

void installDroppedMapsets(const std::vector<std::string>& paths)
{
    std::string call = "install";
    for (const std::string& path : paths) call += " " + path;
    app_test::standIns().calls.push_back(call);
}

void runMapsetCommand(int command, int row)
{
    app_test::standIns().calls.push_back("command " + std::to_string(command) + " " +
                                         std::to_string(row));
}

// Reports two steps of progress, as a move of two files would.
void moveMapset(int row, const MoveProgress& progress)
{
    app_test::standIns().calls.push_back("move " + std::to_string(row));
    progress.show("Moving Alps: 1 of 2 files");
    progress.show("Moving Alps: 2 of 2 files");
    progress.done();
}

} // namespace oxlo::catalogue

namespace oxlo::builder {

void exportBundle(int row, std::string&, int, const std::string&)
{
    app_test::standIns().calls.push_back("export " + std::to_string(row));
}

void saveForGps(int row, std::string&, int, const std::string&)
{
    app_test::standIns().calls.push_back("gps " + std::to_string(row));
}

bool attributePanelShown = true;

void openCreateMapsetWindow()
{
    app_test::standIns().calls.push_back("openCreate");
    app_test::takeOverMainControls(1);
}

void setCreationMode(bool automatic)
{
    app_test::standIns().calls.push_back("creationMode " + std::to_string(automatic));
}

void setAttributePanelHidden(bool hidden)
{
    app_test::standIns().calls.push_back("panelHidden " + std::to_string(hidden));
    attributePanelShown = !hidden;
}

void runCreateMapsetWindow(const std::string& compilerPath, const std::string& previewPath,
                           const std::string& mkgmapPath)
{
    app_test::standIns().calls.push_back("runCreate " + compilerPath + "|" + previewPath + "|" +
                                         mkgmapPath);
    app_test::runTask(1);
}

} // namespace oxlo::builder

namespace oxlo::editor {

void openEditMapsetWindow()
{
    app_test::standIns().calls.push_back("openEdit");
    app_test::takeOverMainControls(2);
}

void runEditMapsetWindow(int row)
{
    auto& record = app_test::standIns();
    record.calls.push_back("runEdit " + std::to_string(row));
    record.editNameField = platform::getControlText(1);
    record.editIdField = platform::getControlText(2);
    app_test::runTask(2);
}

} // namespace oxlo::editor
