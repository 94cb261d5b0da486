// The main window (window 0): the list of installed mapsets and the buttons that start each task.
#pragma once

#include <cstdint>

namespace oxlo::app {

// Control numbers of the main window.
inline constexpr int kMainList = 0;
inline constexpr int kCountLabel = 1;
inline constexpr int kRefreshButton = 2;
inline constexpr int kNewButton = 3;
inline constexpr int kEditButton = 4;
inline constexpr int kUninstallButton = 5;
inline constexpr int kQuitButton = 6;

// The 1-based catalogue row selected in the main list, 0 when none; set at every control event.
extern std::int32_t selectedRow;

// Builds window 0 with its label, list and buttons; the list stays empty (the scan fills it) and
// Edit is greyed until a row is selected.
// Returns false, having created no controls, when the window cannot be created.
bool buildMainWindow();

enum class MainLoopEnd {
    Quit,           // Quit button or a close request
    MainWindowLost, // the main window could not be built again after a task
};

// Serves the main window's events until the user quits.
MainLoopEnd runMainLoop();

} // namespace oxlo::app
