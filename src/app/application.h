// The run of the program from start-up to shutdown.
#pragma once

#include <string>

namespace oxlo::app {

// Starts up, serves the main window and then the farewell window, shuts down and returns the
// process's exit code: 0, or 1 when the main window cannot be created.
int runOxlo();

// Releases images, closes every window, releases fonts and closes every open numbered file, in
// that order.
void shutDown();

// The full path of `program` in `folder`, with a backslash between them unless the folder
// already ends in one.
std::string toolPath(const std::string& folder, const std::string& program);

} // namespace oxlo::app
