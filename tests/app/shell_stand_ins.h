// Stand-ins for what the shell calls outside itself: the catalogue scan and uninstall and the
// Create and Edit Mapset windows. They record each call and act on the scripted window layer as
// the real ones do where the shell depends on it: the scan fills list 0 and label 1 from a table
// the test sets, and the task windows take over the main window's control numbers.
#pragma once

#include "catalogue/installed_mapsets.h"

#include <functional>
#include <string>
#include <vector>

namespace oxlo::app_test {

struct StandIns {
    // Rows the next scan reports, as if read from the registry.
    std::vector<catalogue::InstalledMapset> registryRows;
    // Runs inside the Create or Edit Mapset task, while its window is open. The task then serves
    // events until a close request, which the test queues.
    std::function<void()> duringTask;

    // Every call, in order: "scan", "openCreate", "creationMode 1", "panelHidden 1",
    // "runCreate <compiler>|<preview>", "openEdit", "runEdit <row>", "uninstall <row>",
    // "menu <row>" (its menu: 40001 enabled with a row, 40002 greyed), "command <command> <row>",
    // "install <path> <path>..." (files dropped on the main window).
    std::vector<std::string> calls;
    // The texts of the Edit window's fields 1 and 2 when its task started.
    std::string editNameField;
    std::string editIdField;
    // attributePanelShown as the first scan saw it.
    bool panelShownAtFirstScan = true;
};

StandIns& standIns();
void resetStandIns();

catalogue::InstalledMapset familyRow(const std::string& name, int id);

} // namespace oxlo::app_test
