// Internal state of the Win32 window layer (ui.h), shared by its source files.
#pragma once

#include "platform/ui.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>

#include <deque>
#include <map>
#include <vector>

namespace oxlo::platform::win32 {

inline constexpr int kControlIdBase = 1000; // so that control number 0 gets a usable id

struct WindowEntry {
    UniqueWindow window;
    HWND toolTip = nullptr; // created with the first tooltip, owned (and destroyed) by the window
    unsigned long openedAs = 0; // order of opening: controls go to the newest open window
    bool shown = false;         // made visible once (see showNewWindows); never shown again
};

struct ControlEntry {
    UniqueWindow control;
    ControlKind kind = ControlKind::Label;
    int window = -1;       // number of the window it lives in
    bool hasToolTip = false;
    bool hovered = false;  // links: pointer over it
    // Report lists: per row, the text colour (CLR_DEFAULT: the list's own) and the tooltip text.
    std::vector<COLORREF> rowColours;
    std::vector<std::string> rowTips;
    std::wstring tipShown;   // the row tip the tooltip shows now (its text must outlive the ask)
    bool rowTipTool = false; // the list is a tool of its window's tooltip (text per row)
    int tipRow = -1;         // the row the pointer was last over
    bool drawingHeld = false; // lists: holdListDrawing is on, so rows are drawn when it ends
};

struct QueuedEvent {
    EventKind kind = EventKind::Other;
    int control = -1; // Control and ContextMenu events
    int window = -1;  // Close events
    int command = 0;  // Command events
    POINT at{-1, -1}; // ContextMenu events: the screen point asked at, (-1, -1) from the keyboard
    std::vector<std::string> files; // Drop events: the dropped paths
};

// Destroyed in reverse order: controls, windows, fonts, images — each still valid while the
// objects destroyed before it may use it.
struct WindowLayer {
    std::vector<UniqueIcon> images; // handle = index + 1
    std::vector<UniqueFont> fonts;  // handle = index + 1
    std::map<int, WindowEntry> windows;
    std::map<int, ControlEntry> controls;
    std::deque<QueuedEvent> events;
    int lastEventControl = -1;
    int lastEventCommand = 0;
    POINT contextPoint{-1, -1};
    std::vector<std::string> lastDrop;
    unsigned long openings = 0;
    int dpi = 0;            // vertical pixels per inch of the screen; 0 until initialised
    bool waiting = false;   // inside GetMessage: a raised event must wake it
    int quiet = 0;          // > 0 while the program itself changes a control
    HICON classIcon = nullptr;
};

WindowLayer& layer();

// Registers the window class and reads the screen's DPI once; called by every entry point that
// needs either, so that it works without initialiseWindowing too.
void ensureWindowClass();
const wchar_t* windowClassName();
int scaled(int pixelsAt96Dpi);
// The window opened last among those still open (its number through `number`), or null.
HWND newestWindow(int* number);

// Shows the windows opened since the last call, each with the controls it has by now: a window is
// never seen half-built. Called before the program waits for events or opens a dialog.
void showNewWindows();

ControlEntry* controlByHandle(HWND control, int* number);
ControlEntry* findControl(int number);
// Destroys one control and forgets the events it raised that were not yet taken.
void destroyControl(int number);
// Control events report what the user did. Notifications that the program's own changes cause
// (EN_CHANGE of setControlText, LVN_ITEMCHANGED when Wine deselects a row it deletes) are not
// events, as in the scripted layer the logic is tested against.
class QuietScope {
public:
    QuietScope() { ++layer().quiet; }
    ~QuietScope() { --layer().quiet; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;
};
void raiseControlEvent(int number);
void raiseCloseEvent(int window);
void raiseCommandEvent(int command);
// WM_CONTEXTMENU for one of the layer's controls (false for any other window).
bool raiseContextMenuEvent(HWND control, POINT at);

// WM_DROPFILES: queues a Drop event with the dropped paths and releases the drop.
void onDropFiles(HDROP drop);

// Control notifications arriving at a window (WM_COMMAND, WM_NOTIFY, WM_CTLCOLORSTATIC).
void onCommand(HWND control, UINT code);
// The result of WM_NOTIFY: custom draw stages of report lists, 0 otherwise.
LRESULT onNotify(NMHDR* header);
// Non-zero brush when the window layer colours this static control itself.
HBRUSH onStaticColour(HWND control, HDC dc);

} // namespace oxlo::platform::win32
