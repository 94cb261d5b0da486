// The console side of Oxlo: what oxlo.com, the command-line program, needs from the system beyond
// services.h. The window program never calls these.
//
// Implementations: platform/win32/console.cpp (the wide command line, WriteConsoleW, the
// process token) and platform/portable/console.cpp (argv, POSIX streams, rights set by tests).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace oxlo::platform {

// The program's arguments as UTF-8, without the program itself. On Windows they are read from
// the UTF-16 command line, whatever the ANSI code page; `argc`/`argv` serve the portable side.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Writes UTF-8 text to standard output or standard error: to a console as its characters, to a
// file or pipe as the UTF-8 bytes themselves.
void writeStandardOutput(const std::string& text);
void writeStandardError(const std::string& text);

// True when the program may change what belongs to all users (HKEY_LOCAL_MACHINE,
// %ProgramData%): on Windows, an elevated process.
bool runsAsAdministrator();

// Where showMessage goes instead of a message box: a console program routes every message to
// its own handler, which gives the answer a box would have given. An empty handler brings the
// message boxes back.
using MessageRoute = std::function<int(const std::string& title, const std::string& text, int flags)>;
void routeMessages(MessageRoute route);

} // namespace oxlo::platform
