// Splitting a Windows command line into the program and its arguments, the way CreateProcess
// finds the program and the C runtime splits the rest, so that a host program started by the
// portable platform receives the arguments a Windows program would.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace oxlo::platform {

// The first element is the program; empty when the line holds nothing.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// A host program cannot open the Windows paths that a Windows program would be given, so an
// argument that names one gets `toHost` of it instead: a whole argument that is an absolute path
// with a drive ("C:\Maps.img", "C:/Maps"), or the value of an option written "-name=C:\Maps"
// or "--name=C:\Maps". Every other argument is returned as it is.
std::string withHostPath(const std::string& argument,
                         const std::function<std::string(const std::string&)>& toHost);

} // namespace oxlo::platform
