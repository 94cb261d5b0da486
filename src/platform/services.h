// The operating-system services that Oxlo's logic relies on: message boxes, file and folder
// choosers, the file system, numbered files, outside programs and the text helpers.
//
// Two implementations stand behind these declarations: platform/win32 (the real one, on the Win32
// API) and platform/portable (POSIX files and processes with Windows paths mapped onto a folder, and
// scripted dialogs for tests). Logic code includes only this header and ui.h, never <windows.h>.
//
// Conventions for every operation below:
// - Text is UTF-8, paths included: Windows paths (drive letter, backslashes) in any script; results
//   that are paths hold at most 259 characters. Names and paths compare without regard to letter
//   case only through sameTextIgnoringCase.
// - "Non-zero on success" results are 1 or 0. No operation shows a message of its own; the caller
//   decides what the user is told.
// - The empty text means "nothing" or "failure" wherever a text is returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::platform {

// ---------------------------------------------------------------------------------------------
// Dialogs. Each one is modal: while it is open every other visible, enabled top-level window of
// the program is disabled, and all of them are enabled again when it closes.

// Message box flag words used by the program (the Windows MB_ style word, passed through).
inline constexpr int kMessagePlain = 0x00;        // OK, no icon
inline constexpr int kMessageQuestion = 0x24;     // Yes/No, question icon
inline constexpr int kMessageWarning = 0x30;      // OK, exclamation icon
inline constexpr int kMessageWarningYesNo = 0x34; // Yes/No, exclamation icon
inline constexpr int kMessageInfo = 0x40;         // OK, information icon
inline constexpr int kMessageInfoYesNo = 0x44;    // Yes/No, information icon
inline constexpr int kMessageQuestionYesNoCancel = 0x23; // Yes/No/Cancel, question icon

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// Shows a modal message box; returns the button code (1 OK, 2 Cancel, 6 Yes, 7 No).
int showMessage(const std::string& title, const std::string& text, int flags);

// Open-file dialog. `pattern` is "description|filter|description|filter...", `patternPosition`
// (0-based) picks the pair shown first. `defaultFile` is split at its last backslash into the
// starting folder and the proposed file name. Returns the full path of the (first) chosen file, or
// the empty text on Cancel. With `multiple` 1 the further files come from nextSelectedFile().
std::string chooseOpenFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition, int multiple);

// The next file of the last multiple selection, or the empty text after the last one. The
// selection lasts until the next chooseOpenFile call.
std::string nextSelectedFile();

// True when the last chooseOpenFile gave the empty text because the chosen files did not fit its
// selection buffer (more than about 2,500 names of 8.3 form at once), not because of Cancel.
bool chosenFilesDidNotFit();

// Folder chooser. Returns the chosen folder ending in a backslash, or the empty text on Cancel.
std::string choosePath(const std::string& title, const std::string& initialFolder);

// Save-file dialog for one file, with `defaultFile` and `pattern` as chooseOpenFile takes them; a
// name typed without extension gets the first extension of the chosen pattern, and replacing an
// existing file is asked first. The full path, or the empty text on Cancel.
std::string chooseSaveFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition);

// Opens `folder` in a window of the system's file manager; the outcome is not reported.
void openFolderWindow(const std::string& folder);

// ---------------------------------------------------------------------------------------------
// File system.

// The current folder, always ending in a backslash.
std::string getCurrentDirectory();
int setCurrentDirectory(const std::string& folder);

// Creates only the last level (the parent must exist). Trailing blanks, "/" and "\" are removed
// first. An existing folder counts as failure.
int createDirectory(const std::string& folder);

inline constexpr std::int64_t kNoSuchPath = -1;
inline constexpr std::int64_t kIsFolder = -2;

// Size of a file in bytes; kNoSuchPath for an empty or missing path; kIsFolder for a folder or an
// existing drive ("C:" or "C:\").
std::int64_t fileSize(const std::string& path);

// Copies `source` into a scratch file beside `target` and moves that over `target` only when
// every byte arrived, so a failure never leaves the target cut short or gone: only the scratch
// file is removed then. A source that is the target itself (sameFile) fails and stays as it is.
int copyFile(const std::string& source, const std::string& target);
// True when both files can be read whole and hold the same bytes (a copy checked against its
// original); false for a missing file, a folder or any read that fails.
bool sameContents(const std::string& first, const std::string& second);
int deleteFile(const std::string& path);
int renameFile(const std::string& oldPath, const std::string& newPath); // fails if new exists

// True when both paths name one existing file or folder, judged by the file system's identity of
// it (volume and file index on Windows, device and inode on the portable platform), not by the
// text: "." and "..", an 8.3 short name, a second drive letter for the same folder and letter case
// all name the same file. False when either names nothing or cannot be looked at.
bool sameFile(const std::string& first, const std::string& second);

// Creates a new, empty file in the folder of `target` under a name that no entry there had
// ("~oxloN.tmp"), to be written and then moved over `target` by replaceFile. Its path, or the
// empty text.
std::string createScratchBeside(const std::string& target);

// Moves the file `from` over `to` in the same folder, replacing a file there, and is written
// through to the disk before it returns. Fails, changing nothing, when `to` is a folder or
// read-only, or `from` is read-only: Oxlo never moves away a file that the user protected.
int replaceFile(const std::string& from, const std::string& to);

// Deletes the files directly in `folder` that match `pattern` (empty means "*.*"; matching ignores
// letter case). Read-only files and subfolders stay. When at least one entry matched, the folder
// itself is removed if it is now empty. Returns non-zero only when the folder was removed.
int deleteDirectory(const std::string& folder, const std::string& pattern);

// Removes `folder` when nothing at all is in it; non-zero when it is gone.
int removeEmptyFolder(const std::string& folder);

// Moves the files directly in `folder` that match one of `patterns` (as listFiles) to the Recycle
// Bin in one step, from where the user can restore them; read-only files stay. Nothing is asked,
// except that the system asks before deleting for good a file that cannot be recycled. The folder
// itself is removed when that leaves it empty. Non-zero when none of those files is left.
int recycleFiles(const std::string& folder, const std::vector<std::string>& patterns);

// Moves the files `paths` (full paths) to the Recycle Bin in one step, as recycleFiles does;
// read-only ones stay, a folder is never taken. Non-zero when none of those files is left.
int recycleFileList(const std::vector<std::string>& paths);

// The names of the files (not folders) directly in `folder` that match `pattern` ("*" and "?",
// letter case ignored), in no particular order; none for a missing folder. `listed` (when given)
// is false when the folder could not be read to its end.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern,
                                   bool* listed = nullptr);

// The bytes free to the user on the drive that holds `folder` (an existing folder); kNoSuchPath
// when the drive cannot be asked.
std::int64_t freeDiskSpace(const std::string& folder);

// The user's folder for the local data of programs (%LOCALAPPDATA%), without a trailing
// backslash; empty when it cannot be found.
std::string localAppDataFolder();
// The local date and time now, as "YYYYMMDD-HHMMSS".
std::string localTimeStamp();

// ---------------------------------------------------------------------------------------------
// Numbered files. A small caller-chosen number names one open file from openFile/createFile until
// closeFile. Writes go through a 4096-byte buffer per file, written out by fileSeek and closeFile.

// Reading and writing, others may read; a missing file is created empty; never truncates.
int openFile(int fileNumber, const std::string& path);
// Writing, others may read; a missing file is created, an existing one is emptied.
int createFile(int fileNumber, const std::string& path);
// Opens an existing file for reading only; a missing file stays missing (result 0).
int openFileForReading(int fileNumber, const std::string& path);
// 1 when every write and seek since the file was opened succeeded. After a failed write or seek
// the file takes no more writes and gives no more reads (they would land in or come from the
// wrong place), and this gives 0.
int closeFile(int fileNumber);
// Closes every numbered file still open (writing out its buffer); used at shutdown.
void closeAllFiles();
void fileSeek(int fileNumber, std::int64_t position); // 0-based, from the start
std::size_t readData(int fileNumber, void* buffer, std::size_t length);
// Two bytes little-endian as a signed 16-bit number; 0 when nothing could be read (a lone last
// byte is taken as the low byte).
int readWord(int fileNumber);
// The same two bytes as an unsigned 16-bit number (0 to 65535), as product codes and family IDs
// are stored.
int readUnsignedWord(int fileNumber);
// One line without its end. Ends are CR, LF, CR LF and NUL; at the end of the file the bytes
// collected so far (possibly none).
std::string readLine(int fileNumber);
int endOfFile(int fileNumber);
void writeString(int fileNumber, const std::string& text);
void writeLine(int fileNumber, const std::string& text); // text + CR LF
void writeByte(int fileNumber, int value);                // low 8 bits
void writeWord(int fileNumber, int value);                // low 16 bits, little-endian

// ---------------------------------------------------------------------------------------------
// Outside programs.

// Owns a started program: its process, the read end of the pipe on its standard output and the
// text read from the pipe but not yet returned. 0 means "could not be started". Released by
// releaseProgram (or automatically once its output has been read to the end).
using ProgramHandle = std::intptr_t;

inline constexpr int kRunKeepHandle = 4;
inline constexpr int kRunPipeOutput = 8;
// With this option the program's standard error goes into the same pipe as its standard output,
// so its messages come out as lines in the order written; without it standard error is the
// caller's own.
inline constexpr int kRunPipeErrors = 16;

// Starts `program` (quoted unless it begins with a double quote) with `parameters` in
// `workingFolder` (empty: the current folder), its standard output piped to the caller, its
// window shown normally, without waiting.
ProgramHandle runProgram(const std::string& program, const std::string& parameters,
                         const std::string& workingFolder, int options);
// 1 while the program runs, and afterwards while output is still waiting to be read; else 0.
int programRunning(ProgramHandle handle);
// The next line of the program's output, without its end (CR, LF or CR LF); waits for a line or
// for the end of the pipe, after which it gives the text left over (possibly empty). A line
// longer than 64 KiB comes in pieces of 64 KiB, so endless output without a line end is never
// held whole.
std::string readProgramOutput(ProgramHandle handle);
// Whether readProgramOutput would return without waiting: kOutputLineWaiting when a whole line
// (or, after the program's end, its unfinished last line) is there; kOutputEnded when the program
// has ended and all its output has been read; 0 while nothing can be read yet. Never waits
// itself, so a caller can keep its windows painted meanwhile.
inline constexpr int kOutputLineWaiting = 1;
inline constexpr int kOutputEnded = 2;
int programOutputWaiting(ProgramHandle handle);
// The exit status of the program once it has ended (programRunning gave 0, or
// programOutputWaiting gave kOutputEnded), until releaseProgram; kNoExitCode while it runs and
// for an unknown handle. Known also after programRunning let the program go by itself.
inline constexpr std::int64_t kNoExitCode = -1;
std::int64_t programExitCode(ProgramHandle handle);
void releaseProgram(ProgramHandle handle);

// Opens `address` with the user's web browser; the outcome is not reported.
void openWebAddress(const std::string& address);

// ---------------------------------------------------------------------------------------------
// The running program and its environment.

// The folder that holds the running program (oxlo.exe), ending in a backslash.
std::string programFolder();
// The value of an environment variable of the process; the empty text when it is not set.
std::string environmentVariable(const std::string& name);

// ---------------------------------------------------------------------------------------------
// Text helpers: the one way the program turns text into numbers and back.

// Skips blanks and tabs, an optional "-" or "+", then decimal digits up to the first other
// character (none: 0). Wraps modulo 2^32.
std::int32_t numberFromText(const std::string& text);
// As numberFromText without the wrap, for a number typed by the user that must be refused when it
// is out of range rather than taken as another: a magnitude beyond 2^40 stays at 2^40.
std::int64_t wholeNumberFromText(const std::string& text);
// Signed decimal, "-" for negatives, "0" for zero.
std::string textFromNumber(std::int32_t number);
// The part after the last "/" or "\" (a leading double quote skipped, ending before a following
// double quote).
std::string getFilePart(const std::string& path);
// The UTF-16LE form of a UTF-8 text, two bytes a unit, NULs kept: the form of the files that
// Windows' own tools write (.reg files). A byte that begins no UTF-8 sequence becomes U+FFFD; a
// lone surrogate in UTF-8 form (which Windows names may hold) stays that one unit.
std::string utf16LittleEndian(const std::string& utf8);
// The UTF-8 text of UTF-16LE bytes, as Windows converts them: a lone surrogate becomes U+FFFD and
// an odd last byte is dropped. `exact` says whether neither happened, so that utf16LittleEndian
// gives the bytes back.
std::string textFromUtf16LittleEndian(std::string_view bytes, bool* exact);

// True when the two texts name the same file, folder or registry key for Windows: equal apart
// from letter case, in any script (on Windows by its own rules, CompareStringOrdinal ignoring
// case; on the portable side for Latin, Latin Extended-A, Greek and Cyrillic).
bool sameTextIgnoringCase(const std::string& a, const std::string& b);

// The text in the system's ANSI code page (on the portable side Windows-1252), for the 8-bit text
// fields of map files. `exact` becomes false when a character has no form there; the result then
// holds a stand-in for it and must not be written.
std::string ansiFromText(const std::string& text, bool* exact);
// The text of bytes in the system's ANSI code page.
std::string textFromAnsi(const std::string& bytes);
// The text as programs without Unicode support (cpreview.exe, cgpsmapper.exe) read it from their
// files and take it for file names: in the ANSI code page on Windows; on the portable side, whose
// programs are POSIX ones taking names as UTF-8 bytes, unchanged. `exact` is as for ansiFromText
// (the portable side judging by Windows-1252), so that the same names are refused on both.
std::string textForAnsiPrograms(const std::string& text, bool* exact);
// The text of bytes that such a program printed or wrote (the reverse of textForAnsiPrograms).
std::string textFromAnsiPrograms(const std::string& bytes);

} // namespace oxlo::platform
