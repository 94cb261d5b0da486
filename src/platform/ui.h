// Numbered windows and controls: the one window layer of Oxlo's logic.
//
// Windows and controls are named by small integers chosen by the program, never by handles.
// - Window numbers: 0 main, 1 Create Mapset, 2 Edit Mapset, 3 About. Opening a window under a
//   number in use closes the earlier window of that number first.
// - Control numbers are one numbering for all windows together. Creating a control under a number
//   in use destroys the earlier control of that number, in whatever window it lives. Controls are
//   created in the window that was opened last.
// - Positions and sizes are pixels at 96 DPI; the implementation scales them to the screen.
// Implementations: platform/win32 (standard classes, list view and tooltips) and
// platform/portable (a scripted layer that records everything and replays queued events).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::platform {

// Prepares the window layer (common controls, DPI awareness); call once at start-up.
void initialiseWindowing();

// ---------------------------------------------------------------------------------------------
// Fonts and images. Handles are small positive numbers owned by the layer; 0 means none.
using FontHandle = int;
using ImageHandle = int;

// Character height -(points * vertical DPI / 72), weight 700 when bold.
FontHandle loadFont(const std::string& face, int points, bool bold);
// An image from the bytes of an icon file (ICO format) held in the program.
ImageHandle loadIconImage(const std::uint8_t* data, std::size_t size);
void releaseImages();
void releaseFonts();

// ---------------------------------------------------------------------------------------------
// Windows.
enum WindowFlags : unsigned {
    kWindowTitleBar = 1u << 0,      // a caption
    kWindowSystemMenu = 1u << 1,    // system menu with the close box
    kWindowMinimizeBox = 1u << 2,
    kWindowCentreScreen = 1u << 3,  // centred on the screen
    kWindowCentreActive = 1u << 4,  // centred over the active window, clamped at 0
};

// Creates a top-level window whose client area is width x height. Returns 0 when it cannot be
// created (callers then create no controls). The window shows itself, with the controls it has by
// then, when the program next waits for an event, keeps its windows painted or opens a dialog,
// so it is never seen half-built.
int openWindow(int number, int x, int y, int width, int height, const std::string& title,
               unsigned flags);
void closeWindow(int number);
// Takes the window off the screen (and out of the way of the active window) until it is closed
// or opened anew; for a window whose controls another window has taken.
void hideWindow(int number);
void closeAllWindows();
void setWindowTitle(int number, const std::string& title);

// Control: a control fired (eventControl). Close: a close request. ContextMenu: the user asked
// for a control's context menu (right click, Shift+F10 or the menu key; eventControl names the
// control, showContextMenu shows it). Command: a menu command reached a window as WM_COMMAND
// does (eventCommand). Drop: files were dropped on a window that accepts them (droppedFiles).
// Other: any other message.
enum class EventKind { Control, Close, Other, ContextMenu, Command, Drop };

// Blocks until the next event. Control events raised by controls are queued and returned first.
EventKind waitWindowEvent();
// The control number of the last control or context-menu event.
int eventControl();
// The command number of the last command event.
int eventCommand();
// Lets the user drop files from the file manager on window `number` (a Drop event each time).
void acceptDroppedFiles(int number);
// The full paths of the files and folders of the last Drop event, in the order given.
std::vector<std::string> droppedFiles();
// Repaints the windows without returning any event (used while a long task blocks the loop).
void keepWindowsPainted();

// ---------------------------------------------------------------------------------------------
// Controls.
enum class ControlKind {
    Label,      // text; kControlCentred centres it. Never fires.
    Link,       // hover colour black, no underline; fires on left button release.
    Button,     // push button, "&" marks the mnemonic; fires when pressed.
    Toggle,     // push button that stays down, state 1 when down; fires when pressed.
    CheckBox,   // no caption; fires when clicked.
    Field,      // one line; kControlDigitsOnly; fires on text change and focus gain/loss.
    Frame,      // group box with caption. Never fires.
    ListBox,    // one column, unsorted, single selection; fires on selection change, double click.
    ReportList, // columns, single whole-row selection kept visible, sunken edge; fires on clicks.
    Image,      // shows an ImageHandle given by setControlImage. Never fires.
    DropDown,   // a closed list to pick one entry from (no typing); fires on selection change.
};

enum ControlOptions : unsigned {
    kControlCentred = 1u << 0,
    kControlDigitsOnly = 1u << 1,
};

// Creates a control in the window opened last. Returns 0 when no window is open.
int createControl(int number, ControlKind kind, int x, int y, int width, int height,
                  const std::string& caption, unsigned options = 0);

void setControlFont(int control, FontHandle font);
void setControlImage(int control, ImageHandle image);
void setToolTip(int control, const std::string& text);
void addListColumn(int list, int position, const std::string& title, int width);
// A field's text; for a list or drop-down, the text of the selected row (first column).
std::string getControlText(int control);
void setControlText(int control, const std::string& text);
// Lists and drop-downs: 0-based selected row or -1. Toggle: 1 when down. Check box: 1 when
// checked.
int getControlState(int control);
// Toggle and check box as above; a list or drop-down selects that row (-1: none), without an
// event; a list also scrolls it into view.
void setControlState(int control, int state);
void hideControl(int control, int hide);
void disableControl(int control, int disable);
// The row operations below serve list boxes, report lists and drop-downs (a drop-down's rows are
// its entries).
void clearListItems(int list);
// While held (hold 1), a list takes rows without drawing itself; releasing the hold (hold 0)
// draws it once. For filling a list with many rows.
void holdListDrawing(int list, int hold);
// position -1 appends; in a report list the columns are separated by a line feed.
void addListItem(int list, int position, const std::string& text);
int countListItems(int list);
void removeListItem(int list, int position);

// A colour as Windows' RGB macro makes it (0x00BBGGRR).
constexpr std::uint32_t rgbColour(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
}
// Report lists: the text colour of one row (0-based), and the text of the tooltip shown while
// the pointer rests on it (empty: none). Rows start in the list's own colour without a tooltip;
// both go with the row.
void setListRowColour(int list, int row, std::uint32_t colour);
void setListRowToolTip(int list, int row, const std::string& text);

// ---------------------------------------------------------------------------------------------
// Context menus.
struct MenuItem {
    int command = 0; // the command number it gives; 0 makes the item a separator line
    std::string caption;
    bool enabled = true; // greyed when false
};
// Shows a context menu for the control of the last context-menu event, where it was asked for
// (at the pointer, or by the selected row when asked for with the keyboard), and waits for the
// choice. The chosen item's command number, 0 when the menu was dismissed.
int showContextMenu(const std::vector<MenuItem>& items);

} // namespace oxlo::platform
