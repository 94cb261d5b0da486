// Splitting a Windows command line into the program and its arguments, the way CreateProcess
// finds the program and the C runtime splits the rest, so that a host program started by the
// portable platform receives the arguments a Windows program would.
#pragma once

#include <string>
#include <vector>

namespace oxlo::platform {

// The first element is the program; empty when the line holds nothing.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

} // namespace oxlo::platform
