// Test control of the scripted window layer and dialogs of the portable platform.
//
// The scripted layer implements ui.h and the dialogs of services.h without any display. It
// records every window, control and dialog, and answers from queues that a test fills:
// - Events: waitWindowEvent() takes the next queued step. A step may first change a control
//   (select a row, type text, tick a box) as a user would, then deliver its event. An empty
//   queue throws ScriptError: a loop that waits for more than the test scripted fails loudly.
// - Dialogs: showMessage() takes the next queued answer; chooseOpenFile()/choosePath() the next
//   queued choice. A dialog with nothing queued throws ScriptError.
// This header is for tests and the portable build only; the product never includes it.
#pragma once

#include "platform/ui.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace oxlo::platform::scripted {

struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Forgets every window, control, font, image, queued step and record.
void resetScript();

// ----- Records -----------------------------------------------------------------------------
struct WindowRecord {
    int number = -1;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title;
    unsigned flags = 0;
    bool hidden = false; // by hideWindow
};

// A report list row drawn in the list's own colour (no setListRowColour for it).
inline constexpr std::uint32_t kListColour = 0xFFFFFFFFu;

struct ColumnRecord {
    std::string title;
    int width = 0;
};

struct ControlRecord {
    int number = -1;
    int window = -1; // the window number it lives in
    ControlKind kind = ControlKind::Label;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text; // caption or field text
    unsigned options = 0;
    int state = 0;     // toggle down / box checked
    int selected = -1; // lists and drop-downs: selected row
    bool visible = true;
    bool enabled = true;
    FontHandle font = 0; // 0: the system's default GUI font
    ImageHandle image = 0;
    std::string toolTip;
    std::vector<ColumnRecord> columns;
    std::vector<std::string> rows; // report list rows keep their "\n"-separated columns; a
                                   // drop-down's rows are its entries
    std::vector<std::uint32_t> rowColours;  // one per row: kListColour or setListRowColour's
    std::vector<std::string> rowToolTips;   // one per row: empty or setListRowToolTip's
    bool drawingHeld = false;      // holdListDrawing(list, 1) and not yet released
    int rowsAddedWhileHeld = 0;    // since the list was created
};

struct FontRecord {
    std::string face;
    int points = 0;
    bool bold = false;
};

struct MessageRecord {
    std::string title;
    std::string text;
    int flags = 0;
    int answer = 0;
};

struct ChooserRecord {
    bool folder = false; // choosePath rather than chooseOpenFile
    std::string title;
    std::string defaultFile; // or the initial folder of choosePath
    std::string pattern;
    int patternPosition = 0;
    int multiple = 0;
    bool save = false; // chooseSaveFile rather than chooseOpenFile
};

struct MenuRecord {
    int control = -1; // whose context menu
    std::vector<MenuItem> items;
    int choice = 0;   // the command given back, 0 when dismissed
};

// nullptr when no such window/control exists now.
const WindowRecord* findWindow(int number);
const ControlRecord* findControl(int number);
// Every control alive now, in creation order.
std::vector<ControlRecord> liveControls();
const FontRecord* findFont(FontHandle font);
// Fonts and images alive now, and every window ever opened (in order of opening).
int liveFontCount();
int liveImageCount();
std::vector<WindowRecord> openedWindows();
std::vector<MessageRecord> shownMessages();
std::vector<ChooserRecord> shownChoosers();
std::vector<std::string> openedWebAddresses();
std::vector<std::string> openedFolders(); // by openFolderWindow
std::vector<MenuRecord> shownMenus();
// Every title that setWindowTitle gave window `number`, in order, and how often
// keepWindowsPainted was called (a long task keeps its windows painted).
std::vector<std::string> titlesSet(int number);
int paintRequests();

// openWindow(number, ...) fails (returns 0) while refused, as when Windows cannot create it.
void refuseWindow(int number, bool refuse);

// ----- Dialog answers ----------------------------------------------------------------------
void answerNextMessage(int answer); // kAnswerOk, kAnswerYes or kAnswerNo
// The next chooseOpenFile gives these paths (the first as its result, the rest through
// nextSelectedFile); an empty list stands for Cancel.
void chooseNextFiles(const std::vector<std::string>& paths);
// The next chooseOpenFile gives the empty text as when the user chose more files than its
// selection buffer holds: chosenFilesDidNotFit() then gives true.
void chooseTooManyFiles();
// The next choosePath gives this folder (empty: Cancel).
void chooseNextFolder(const std::string& folder);
// The next chooseSaveFile gives this path (empty: Cancel).
void chooseNextSaveFile(const std::string& path);
// The next showContextMenu gives this command (0: the menu is dismissed). Choosing a greyed item
// fails the test, as a user cannot.
void chooseNextMenuCommand(int command);

// A message box that finds no queued answer is answered by `responder` (given the box as shown)
// instead of failing the test; an empty function restores the failure. For runs whose course
// varies, such as one run per injected failure.
using MessageResponder = std::function<int(const MessageRecord&)>;
void answerUnqueuedMessages(MessageResponder responder);

// ----- Events ------------------------------------------------------------------------------
void queueControlEvent(int control);
void queueClose();
void queueOtherEvent();
// The user asks for the context menu of `control` (a right click on it, or the keyboard).
void queueContextMenu(int control);
// A menu command arrives at the window as WM_COMMAND does.
void queueCommand(int command);
// Files and folders (full paths) are dropped on window `window`, which must accept them.
void queueDrop(int window, const std::vector<std::string>& paths);
// Selects a row (-1: none) of a list, or an entry of a drop-down (which a user cannot leave
// without one), then delivers its control event.
void queueSelectRow(int list, int row);
// Replaces a field's text, then delivers the field's control event.
void queueTyping(int field, const std::string& text);
// Sets a toggle's or check box's state, then delivers its control event.
void queueClick(int control, int newState);
// Runs `action` when the loop reaches it (to look at the screen mid-task), then goes on with the
// next step without returning an event.
void queueAction(std::function<void()> action);
// Steps still queued (to check that a loop consumed exactly what was scripted).
int pendingSteps();

} // namespace oxlo::platform::scripted
