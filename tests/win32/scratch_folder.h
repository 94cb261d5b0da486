// Folders and programs for the Win32 integration tests (which cannot use oxlo_test_support: it
// brings the scripted window layer, and these tests link the real one).
#pragma once

#include <string>

namespace oxlo::win32test {

// A new, empty folder under the Windows temporary folder, as a path with a trailing backslash.
// Removed with everything in it when the test program ends.
std::string scratchFolder(const std::string& name);

// Writes `bytes` into a new file and returns its path.
std::string writeScratchFile(const std::string& path, const std::string& bytes);
// The whole content of a file, or "<missing>".
std::string fileContent(const std::string& path);

// The Windows path of a stand-in program from tests/standins (Wine shows the build folder as Z:).
std::string standIn(const std::string& name);

} // namespace oxlo::win32test
