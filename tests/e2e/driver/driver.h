// Drives another Win32 program from outside, as a user would: starts it, finds its windows,
// reads and clicks its controls, answers its boxes and dialogs, reads its list views and takes
// screenshots. Runs under Wine in the same prefix (same wineserver) as the program it drives.
//
// Operations that act (start, click, answer, choose) throw std::runtime_error with a message that
// names the window and what went wrong; queries return empty values or nullptr when nothing is
// there. Every wait polls every 10 ms until its time limit.
#pragma once

#include "driver/remote_memory.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace oxlo::e2e {

using std::chrono::milliseconds;
inline constexpr milliseconds kDefaultWait{5000};
// How long a message sent to the driven program may take: a hung program must fail the test, not
// stall the driver.
inline constexpr UINT kMessageTimeoutMs = 2000;
// The file name box (a ComboBoxEx32) of the common file dialogs.
inline constexpr int kFileNameBoxId = 0x47C;

// Polls `condition` every 10 ms until it holds (true) or `timeout` has passed (false).
bool waitUntil(const std::function<bool()>& condition, milliseconds timeout = kDefaultWait);

// ---------------------------------------------------------------------------------------------
// Processes.

// A started program. The destructor ends it if it still runs, so a failed test leaves nothing
// behind for the next one.
class Process {
public:
    // Starts `exe` (a Windows path) with `arguments` in the working folder `workFolder`.
    static Process start(const std::string& exe, const std::string& workFolder,
                         const std::string& arguments = {});

    Process() = default; // no process
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    DWORD id() const { return id_; }
    bool running() const;
    // The exit code once the process has ended within `timeout`.
    std::optional<DWORD> waitForExit(milliseconds timeout = kDefaultWait) const;
    void terminate();

private:
    Process(HANDLE handle, DWORD id) : handle_(handle), id_(id) {}
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Windows and controls.

// A window's text read with WM_GETTEXT (works for every class and across processes), as UTF-8.
std::string windowText(HWND window);
// UTF-8 of a terminated UTF-16 text.
std::string utf8Text(const wchar_t* text);
std::string windowClass(HWND window);

// The visible top-level windows of process `processId`, topmost first.
std::vector<HWND> topLevelWindows(DWORD processId);
// The visible top-level window of the process with exactly this title (and class when given).
HWND findTopLevelWindow(DWORD processId, const std::string& title,
                        const std::string& className = {});
HWND waitForTopLevelWindow(DWORD processId, const std::string& title,
                           milliseconds timeout = kDefaultWait, const std::string& className = {});
// True once `window` has been destroyed.
bool waitForWindowGone(HWND window, milliseconds timeout = kDefaultWait);
// True once the thread of `window` has taken a message sent to it, which it does only where it
// waits for messages: back in a message loop, its own or a box's, so that whatever the step before
// shows is up by then.
bool waitForMessageLoop(HWND window, milliseconds timeout = kDefaultWait);

struct Control {
    HWND handle = nullptr;
    std::string className;
    std::string text;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0; // inside the parent's client area
    bool visible = false;
    bool enabled = false;
};
std::ostream& operator<<(std::ostream& out, const Control& control);

// The direct children of `window` in creation order (Z order, first created first).
std::vector<Control> listControls(HWND window);
// The first direct child of that class whose text is `text`; nullptr when there is none.
HWND findControl(HWND window, const std::string& className, const std::string& text);
Control describeControl(HWND control);

// Clicks a button as a user would: refused (throws) when the button is hidden or disabled or its
// top-level window is disabled, for instance behind a modal box. The click is posted, so a box
// that it opens does not block the driver.
void clickButton(HWND button);
// The real mouse (SendInput), as a user's hand moves it: the program gets every mouse move on
// the way, then the press and release. The point is in `window`'s client coordinates; the
// window's top-level window is brought to the front first. Refused (throws) like clickButton
// when the window or its top-level window is disabled.
void moveMouseTo(HWND window, int x, int y);
void clickWithMouse(HWND window, int x, int y);
void rightClickWithMouse(HWND window, int x, int y);
// Clicks the middle of a button with the real mouse.
void clickButtonWithMouse(HWND button);

// Asks the window to close, as its close box does.
void closeWindow(HWND window);

// ---------------------------------------------------------------------------------------------
// Message boxes (MessageBoxA): a top-level "#32770" of the process with the text in static 0xFFFF.

struct MessageBoxInfo {
    HWND handle = nullptr;
    std::string title;
    std::string text;
    std::vector<int> buttons; // command ids: 1 OK, 2 Cancel, 6 Yes, 7 No
};
std::ostream& operator<<(std::ostream& out, const MessageBoxInfo& box);

std::optional<MessageBoxInfo> findMessageBox(DWORD processId);
std::optional<MessageBoxInfo> waitForMessageBox(DWORD processId,
                                                milliseconds timeout = kDefaultWait);
// The box's icon as its MessageBox flag (MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION,
// MB_ICONASTERISK), 0 when it shows none or none of these: the icon's pixels on the screen are
// compared with the standard icons drawn here (the icon's handle means nothing in this process).
int messageBoxIcon(HWND box);
// Presses button `buttonId` (IDOK, IDYES, IDNO...); throws when the box has no such button.
void answerMessageBox(const MessageBoxInfo& box, int buttonId);

// ---------------------------------------------------------------------------------------------
// A list view of another process, read and written through a block of that process's memory.

class RemoteListView {
public:
    explicit RemoteListView(HWND listView);

    int rowCount() const;
    int columnCount() const;
    std::string columnTitle(int column) const;
    int columnWidth(int column) const;
    std::string cellText(int row, int column) const;
    // Every row, each with its cells from column 0 on.
    std::vector<std::vector<std::string>> rows() const;
    // The 0-based selected row, -1 when none.
    int selectedRow() const;
    // Selects and focuses `row` (the program gets the selection change as a user's click would).
    void selectRow(int row);
    // Where `row` is drawn, in the list view's client coordinates.
    RECT rowRect(int row) const;

private:
    HWND listView_;
    std::unique_ptr<RemoteMemory> memory_; // an LVITEMW or LVCOLUMNW, then a text buffer
};

// ---------------------------------------------------------------------------------------------
// Drop-downs (combo boxes of fixed entries).

std::vector<std::string> dropDownEntries(HWND dropDown);
// The 0-based selected entry, -1 when none.
int dropDownSelection(HWND dropDown);
// Chooses entry `row` as a user does: clicks the box open with the real mouse, then the entry in
// its list; throws when the entry does not become the selected one.
void chooseDropDownEntry(HWND dropDown, int row);

// ---------------------------------------------------------------------------------------------
// File and folder dialogs.

// The open-file dialog of the process with that title.
HWND waitForFileDialog(DWORD processId, const std::string& title,
                       milliseconds timeout = kDefaultWait);
// Chooses `names` (one or several files) in `folder` and confirms. The dialog remembers its last
// folder, so the folder is always set first. Returns when the dialog has taken the names; the
// caller waits for the dialog to go (or for the "File does not exist" box).
void chooseFiles(HWND dialog, const std::string& folder, const std::vector<std::string>& names);
// Cancels a file or folder dialog.
void cancelDialog(HWND dialog);
// Chooses `folder` in the folder chooser (SHBrowseForFolderA, title "Browse for Folder").
void chooseFolder(HWND dialog, const std::string& folder);

// ---------------------------------------------------------------------------------------------
// Screenshots and files.

// Saves what the screen shows of `window` (frame included) as a 24-bit BMP file.
void saveScreenshot(HWND window, const std::string& bmpPath);

// Empties `folder` (files and subfolders) or creates it with its parents.
void makeEmptyFolder(const std::string& folder);
bool fileExists(const std::string& path);
// Copies a file, replacing `to`; throws when it cannot.
void copyFile(const std::string& from, const std::string& to);
// The bytes of a whole file; empty when it cannot be read.
std::string fileText(const std::string& path);

// ---------------------------------------------------------------------------------------------
// The registry in the 32-bit view, which is where Oxlo keeps MapSource's catalogue.

// Deletes `subKey` of `root` with everything below it; no error when it does not exist.
void deleteRegistryTree32(HKEY root, const std::string& subKey);
void writeRegistryString32(HKEY root, const std::string& subKey, const std::string& name,
                           const std::string& value);
void writeRegistryBinary32(HKEY root, const std::string& subKey, const std::string& name,
                           const std::vector<unsigned char>& bytes);
// The string value, or nothing when the key or value is missing or not a string.
std::optional<std::string> readRegistryString32(HKEY root, const std::string& subKey,
                                                const std::string& name);
bool registryKeyExists32(HKEY root, const std::string& subKey);

} // namespace oxlo::e2e
