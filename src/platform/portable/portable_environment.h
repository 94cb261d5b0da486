// The running program's folder and environment on the portable platform. A program run on the
// host has neither a Windows folder of its own nor Windows environment variables, so both are
// what the tests set: the program folder starts as "C:\Oxlo\" and the environment empty.
#pragma once

#include <string>

namespace oxlo::platform {

// A Windows folder; a missing final backslash is added.
void setProgramFolder(const std::string& windowsFolder);
// Sets a variable (names ignore letter case, as on Windows); the empty value removes it.
void setEnvironmentVariable(const std::string& name, const std::string& value);
// Removes every variable.
void clearEnvironment();
// The most that freeDiskSpace reports from now on, as on a nearly full drive; a negative cap
// gives the host's own figure again.
void capFreeDiskSpace(long long bytes);

} // namespace oxlo::platform
