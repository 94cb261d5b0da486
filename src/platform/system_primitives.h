// The few raw operating-system operations under the shared service code of platform/ (numbered
// files, program output, file sizes, folder clean-up). Each implementation of the seam provides
// them once: platform/win32 on the Win32 API, platform/portable on POSIX with Windows paths
// mapped onto a folder. Only platform/*.cpp call them; logic code uses services.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::platform::raw {

// ----- Files --------------------------------------------------------------------------------
using File = std::intptr_t; // owned by the caller until closeRaw; kNoFile when not open
inline constexpr File kNoFile = -1;

enum class OpenMode {
    ReadWriteAlways, // read and write, others may read, created when missing, not truncated
    WriteTruncate,   // write, others may read, created when missing, emptied
    ReadExisting,    // read only, others may read and write, fails when missing
};

File openRaw(const std::string& path, OpenMode mode);
// Creates an empty file that must not exist yet (in any letter case), and closes it again.
enum class NewFile { Created, Exists, Failed };
NewFile createNewRaw(const std::string& path);
// Bytes read (0 at the end of the file or on failure).
std::size_t readRaw(File file, void* buffer, std::size_t length);
bool writeRaw(File file, const void* data, std::size_t length);
bool seekRaw(File file, std::int64_t position);
std::int64_t tellRaw(File file);
void closeRaw(File file);

// ----- Folder entries -----------------------------------------------------------------------
struct Entry {
    std::string name; // file name only (as the path spells it, for a path looked up)
    bool folder = false;
    bool readOnly = false;
    // A symbolic link, junction or other reparse point: `folder` tells what it points to, and
    // removing it must not reach in there.
    bool link = false;
    std::int64_t size = 0;
};

// Looks up one path (no wildcard); false when nothing is there.
bool findEntry(const std::string& path, Entry* entry);
// The entries directly in `folder` (ending in a backslash) whose names match `pattern` ("*" and
// "?" wildcards, letter case ignored, "." and ".." left out). `listed` (when given) is false when
// the folder could not be read to its end; a missing folder or no match is no failure.
std::vector<Entry> listFolder(const std::string& folder, const std::string& pattern,
                              bool* listed = nullptr);
// True when "X:\" names an existing drive.
bool driveExists(const std::string& root);
bool removeFolder(const std::string& folder); // only an empty one
// Removes the link `path` itself (a file or folder link); what it points to stays.
bool removeLink(const std::string& path);
// Moves the files (full paths) to the Recycle Bin in one step, asking nothing unless a file cannot
// be recycled: the system then asks before deleting it for good. True when all of them went.
bool recycleRaw(const std::vector<std::string>& paths);

// ----- Programs -----------------------------------------------------------------------------
using Process = std::intptr_t; // 0 when not started; owned until releaseRaw

// Starts `commandLine` (already quoted) in `workingFolder` (empty: current) with its standard
// output on a pipe to the caller; with `pipeErrors` its standard error on the same pipe, else the
// caller's standard error.
Process startRaw(const std::string& commandLine, const std::string& workingFolder,
                 bool pipeErrors = false);
bool processEndedRaw(Process process);
// Blocks until some output arrives or the pipe ends; 0 when the pipe has ended.
std::size_t readPipeRaw(Process process, char* buffer, std::size_t length);
// Bytes waiting in the pipe now, without blocking.
std::size_t pipeWaitingRaw(Process process);
// The exit status of a program that has ended (0 to 4294967295); false while it runs.
bool exitCodeRaw(Process process, std::int64_t* code);
void releaseRaw(Process process);

// ----- Messages (message_route.cpp, shared) --------------------------------------------------
// When a route is set (routeMessages), gives the message to it, stores its answer and is true;
// each window layer's showMessage asks here first.
bool routedMessage(const std::string& title, const std::string& text, int flags, int& answer);

} // namespace oxlo::platform::raw
