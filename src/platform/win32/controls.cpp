// Numbered controls of ui.h on the standard classes, the list view and tooltips.
#include "platform/win32/wide_text.h"
#include "platform/win32/window_layer_state.h"

#include <commctrl.h>

#include <climits>
#include <vector>

namespace oxlo::platform {

using namespace win32;

namespace win32 {

namespace {

constexpr UINT_PTR kLinkSubclassId = 1;
constexpr COLORREF kLinkColour = RGB(0, 102, 204);

bool isList(ControlKind kind) {
    return kind == ControlKind::ListBox || kind == ControlKind::ReportList ||
           kind == ControlKind::DropDown;
}

// A list box and a drop-down's combo box keep their rows alike, under messages of their own.
struct RowMessages {
    UINT reset, insert, remove, count, selected, textLength, text;
};

constexpr RowMessages kListBoxRows = {LB_RESETCONTENT, LB_INSERTSTRING, LB_DELETESTRING,
                                      LB_GETCOUNT,     LB_GETCURSEL,    LB_GETTEXTLEN,
                                      LB_GETTEXT};
constexpr RowMessages kDropDownRows = {CB_RESETCONTENT, CB_INSERTSTRING, CB_DELETESTRING,
                                       CB_GETCOUNT,     CB_GETCURSEL,    CB_GETLBTEXTLEN,
                                       CB_GETLBTEXT};

// Null for a report list, whose rows are list-view items.
const RowMessages* rowMessages(ControlKind kind) {
    if (kind == ControlKind::ListBox) return &kListBoxRows;
    if (kind == ControlKind::DropDown) return &kDropDownRows;
    return nullptr;
}

// How many rows a drop-down shows when opened before it scrolls.
constexpr int kDropDownVisibleRows = 8;

HFONT defaultFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

void forgetToolTip(const ControlEntry& entry) {
    if (!entry.hasToolTip) return;
    auto window = layer().windows.find(entry.window);
    if (window == layer().windows.end() || !window->second.toolTip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window->second.window.get();
    tool.uId = reinterpret_cast<UINT_PTR>(entry.control.get());
    ::SendMessageW(window->second.toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The window's tooltip, made with its first tool; owned by the window, so it goes when the window
// goes. Wide enough for a row's problems one to a line.
HWND toolTipWindow(WindowEntry& window) {
    if (!window.toolTip) {
        window.toolTip = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window.window.get(), nullptr,
            ::GetModuleHandleW(nullptr), nullptr);
        if (window.toolTip) ::SendMessageW(window.toolTip, TTM_SETMAXTIPWIDTH, 0, scaled(600));
    }
    return window.toolTip;
}

WindowEntry* windowOf(const ControlEntry& entry) {
    auto window = layer().windows.find(entry.window);
    return window == layer().windows.end() ? nullptr : &window->second;
}

// The report list row under the pointer now, -1 when none.
int rowUnderPointer(HWND list) {
    LVHITTESTINFO hit{};
    if (!::GetCursorPos(&hit.pt) || !::ScreenToClient(list, &hit.pt)) return -1;
    return static_cast<int>(::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// The list view's own procedure, which the row tips' procedure passes every message on to (one
// class, so one procedure for every report list).
WNDPROC listViewProcedure = nullptr;

bool isMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

// In front of a report list with row tips: hands its mouse messages to the tooltip, and takes the
// tip down when the pointer moves to another row, so that it shows again with that row's text
// (asked for when it shows). Put in front with SetWindowLongPtrW rather than SetWindowSubclass or
// TTF_SUBCLASS: those keep their state in a window property, and under Wine each message to the
// list then asks the window server for it, which was most of the time of filling a big list.
LRESULT CALLBACK rowTipProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isMouseMessage(message)) {
        if (ControlEntry* entry = controlByHandle(list, nullptr)) {
            WindowEntry* window = windowOf(*entry);
            if (window && window->toolTip) {
                const DWORD at = ::GetMessagePos();
                MSG relayed{list, message, wParam, lParam, ::GetMessageTime(),
                            {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))}};
                ::SendMessageW(window->toolTip, TTM_RELAYEVENT, 0,
                               reinterpret_cast<LPARAM>(&relayed));
                const int row = message == WM_MOUSEMOVE ? rowUnderPointer(list) : entry->tipRow;
                if (row != entry->tipRow) {
                    entry->tipRow = row;
                    ::SendMessageW(window->toolTip, TTM_POP, 0, 0);
                }
            }
        }
    }
    return ::CallWindowProcW(listViewProcedure, list, message, wParam, lParam);
}

// A link is a notifying static: the hand pointer, black text while hovered, and an event when
// the left button is released over it (STN_CLICKED would fire on the press).
LRESULT CALLBACK linkProcedure(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
    switch (message) {
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))); // IDC_HAND
        return TRUE;
    case WM_MOUSEMOVE:
        if (ControlEntry* entry = controlByHandle(link, nullptr); entry && !entry->hovered) {
            entry->hovered = true;
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = link;
            ::TrackMouseEvent(&track);
            ::InvalidateRect(link, nullptr, TRUE);
        }
        break;
    case WM_MOUSELEAVE:
        if (ControlEntry* entry = controlByHandle(link, nullptr)) {
            entry->hovered = false;
            ::InvalidateRect(link, nullptr, TRUE);
        }
        break;
    case WM_LBUTTONUP: {
        int number = -1;
        if (controlByHandle(link, &number)) raiseControlEvent(number);
        break;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(link, linkProcedure, kLinkSubclassId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(link, message, wParam, lParam);
}

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass classFor(ControlKind kind, unsigned options) {
    const DWORD align = (options & kControlCentred) ? SS_CENTER : SS_LEFT;
    switch (kind) {
    case ControlKind::Label: return {L"Static", align, 0};
    case ControlKind::Link: return {L"Static", align | SS_NOTIFY, 0};
    case ControlKind::Button: return {L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Toggle: return {L"Button", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 0};
    case ControlKind::CheckBox: return {L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Field:
        return {L"Edit",
                static_cast<DWORD>(ES_AUTOHSCROLL | WS_TABSTOP |
                                   ((options & kControlDigitsOnly) ? ES_NUMBER : 0)),
                WS_EX_CLIENTEDGE};
    case ControlKind::Frame: return {L"Button", BS_GROUPBOX, 0};
    case ControlKind::ListBox:
        // No integral height: the list keeps exactly the size it was given.
        return {L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ControlKind::ReportList:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ControlKind::Image: return {L"Static", SS_ICON, 0};
    case ControlKind::DropDown:
        return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    }
    return {L"Static", align, 0};
}

// Makes the closed box of a drop-down `height` pixels high, as the layout gives it: the box is
// its selection field's height plus a frame whose size depends on the theme.
void fitClosedDropDown(HWND dropDown, int height) {
    // What CB_GETITEMHEIGHT gives may differ from what CB_SETITEMHEIGHT took (Wine adds 2), so
    // the frame is measured around a height that was set.
    const LRESULT field = ::SendMessageW(dropDown, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field <= 0) return;
    ::SendMessageW(dropDown, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    RECT box{};
    ::GetWindowRect(dropDown, &box);
    const int frame = static_cast<int>(box.bottom - box.top) - static_cast<int>(field);
    if (height > frame)
        ::SendMessageW(dropDown, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - frame);
}

// Selects (and focuses) the row, or none when it does not exist, and scrolls it into view.
void selectListRow(const ControlEntry& entry, int row) {
    HWND list = entry.control.get();
    const bool exists = row >= 0 && row < static_cast<int>(::SendMessageW(
                                              list, entry.kind == ControlKind::ListBox
                                                        ? LB_GETCOUNT
                                                        : LVM_GETITEMCOUNT, 0, 0));
    if (entry.kind == ControlKind::ListBox) {
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(exists ? row : -1), 0);
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (!exists) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int selectedRow(const ControlEntry& entry) {
    HWND list = entry.control.get();
    if (const RowMessages* rows = rowMessages(entry.kind)) {
        const LRESULT row = ::SendMessageW(list, rows->selected, 0, 0);
        return row < 0 ? -1 : static_cast<int>(row); // LB_ERR and CB_ERR are -1
    }
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                           LVNI_SELECTED));
}

std::string reportCellText(HWND list, int row, int column) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(::SendMessageW(
            list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) return win32::utf8(buffer.data(), length);
        buffer.resize(buffer.size() * 2); // may have been cut short
    }
}

std::string listRowText(const ControlEntry& entry, int row) {
    HWND list = entry.control.get();
    const RowMessages* rows = rowMessages(entry.kind);
    if (!rows) return reportCellText(list, row, 0);
    const LRESULT length = ::SendMessageW(list, rows->textLength, static_cast<WPARAM>(row), 0);
    if (length < 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const LRESULT got = ::SendMessageW(list, rows->text, static_cast<WPARAM>(row),
                                       reinterpret_cast<LPARAM>(buffer.data()));
    return got < 0 ? std::string() : win32::utf8(buffer.data(), static_cast<std::size_t>(got));
}

} // namespace

ControlEntry* findControl(int number) {
    auto found = layer().controls.find(number);
    return found == layer().controls.end() ? nullptr : &found->second;
}

ControlEntry* controlByHandle(HWND control, int* number) {
    if (!control) return nullptr;
    for (auto& [candidate, entry] : layer().controls) {
        if (entry.control.get() == control) {
            if (number) *number = candidate;
            return &entry;
        }
    }
    return nullptr;
}

void destroyControl(int number) {
    auto& state = layer();
    auto found = state.controls.find(number);
    if (found == state.controls.end()) return;
    forgetToolTip(found->second);
    UniqueWindow control = std::move(found->second.control);
    state.controls.erase(found); // forgotten first: focus loss while it dies is no event
    control.reset();
    // Events it raised but nobody took would otherwise fire on the next control of this number.
    std::erase_if(state.events, [number](const QueuedEvent& event) {
        return event.kind == EventKind::Control && event.control == number;
    });
}

void onCommand(HWND control, UINT code) {
    int number = -1;
    const ControlEntry* entry = controlByHandle(control, &number);
    if (!entry) return;
    bool fires = false;
    switch (entry->kind) {
    case ControlKind::Button:
    case ControlKind::Toggle:
    case ControlKind::CheckBox: fires = code == BN_CLICKED; break;
    case ControlKind::Field:
        fires = code == EN_CHANGE || code == EN_SETFOCUS || code == EN_KILLFOCUS;
        break;
    case ControlKind::ListBox: fires = code == LBN_SELCHANGE || code == LBN_DBLCLK; break;
    case ControlKind::DropDown: fires = code == CBN_SELCHANGE; break;
    default: break; // links fire from their own procedure; the rest never fire
    }
    if (fires) raiseControlEvent(number);
}

// Rows with a colour of their own are drawn in it.
LRESULT onCustomDraw(const ControlEntry& entry, NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
    if (row >= entry.rowColours.size() || entry.rowColours[row] == CLR_DEFAULT)
        return CDRF_DODEFAULT;
    draw->clrText = entry.rowColours[row];
    return CDRF_NEWFONT;
}

// The tooltip of a list's rows asks for the text of the row under the pointer.
void onRowTipText(NMTTDISPINFOW* info) {
    ControlEntry* entry = controlByHandle(reinterpret_cast<HWND>(info->hdr.idFrom), nullptr);
    info->szText[0] = L'\0';
    info->lpszText = info->szText;
    if (!entry || !entry->rowTipTool) return;
    const int row = rowUnderPointer(entry->control.get());
    if (row >= 0 && static_cast<std::size_t>(row) < entry->rowTips.size()) {
        entry->tipShown = win32::wide(entry->rowTips[static_cast<std::size_t>(row)]);
        info->lpszText = entry->tipShown.data();
    }
}

LRESULT onNotify(NMHDR* header) {
    if (!header) return 0;
    if (header->code == TTN_GETDISPINFOW) {
        onRowTipText(reinterpret_cast<NMTTDISPINFOW*>(header));
        return 0;
    }
    int number = -1;
    const ControlEntry* entry = controlByHandle(header->hwndFrom, &number);
    if (!entry || entry->kind != ControlKind::ReportList) return 0;
    switch (header->code) {
    case NM_CUSTOMDRAW: return onCustomDraw(*entry, reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK: raiseControlEvent(number); break;
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
            raiseControlEvent(number);
        break;
    }
    default: break;
    }
    return 0;
}

HBRUSH onStaticColour(HWND control, HDC dc) {
    const ControlEntry* entry = controlByHandle(control, nullptr);
    if (!entry || entry->kind != ControlKind::Link) return nullptr;
    // Link blue at rest (Wine's COLOR_HOTLIGHT is too pale to read), black under the pointer.
    ::SetTextColor(dc, entry->hovered ? RGB(0, 0, 0) : kLinkColour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

} // namespace win32

int createControl(int number, ControlKind kind, int x, int y, int width, int height,
                  const std::string& caption, unsigned options) {
    int windowNumber = -1;
    HWND parent = newestWindow(&windowNumber);
    if (!parent) return 0;
    QuietScope quiet;
    destroyControl(number);

    const ControlClass type = classFor(kind, options);
    // An SS_ICON static would take its text as the name of an icon resource.
    const std::wstring wideCaption = win32::wide(caption);
    const wchar_t* text = kind == ControlKind::Image ? nullptr : wideCaption.c_str();
    // A combo box's window height includes its opened list; the closed box is fitted below.
    const int windowHeight =
        kind == ControlKind::DropDown ? scaled(height) * (1 + kDropDownVisibleRows) : scaled(height);
    HWND control = ::CreateWindowExW(
        type.exStyle, type.className, text, WS_CHILD | WS_VISIBLE | type.style, scaled(x), scaled(y),
        scaled(width), windowHeight, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + number)),
        ::GetModuleHandleW(nullptr), nullptr);
    if (!control) return 0;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont()), FALSE);
    if (kind == ControlKind::ReportList)
        ::SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                       LVS_EX_FULLROWSELECT);
    if (kind == ControlKind::Link) ::SetWindowSubclass(control, linkProcedure, kLinkSubclassId, 0);
    if (kind == ControlKind::DropDown) fitClosedDropDown(control, scaled(height));

    ControlEntry& entry = layer().controls[number];
    entry.control.reset(control);
    entry.kind = kind;
    entry.window = windowNumber;
    return 1;
}

void setControlFont(int control, FontHandle font) {
    ControlEntry* entry = findControl(control);
    if (!entry) return;
    HFONT chosen = defaultFont();
    if (font > 0 && static_cast<std::size_t>(font) <= layer().fonts.size() &&
        layer().fonts[font - 1])
        chosen = layer().fonts[font - 1].get();
    ::SendMessageW(entry->control.get(), WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
}

void setControlImage(int control, ImageHandle image) {
    ControlEntry* entry = findControl(control);
    if (!entry || image <= 0 || static_cast<std::size_t>(image) > layer().images.size()) return;
    ::SendMessageW(entry->control.get(), STM_SETICON,
                   reinterpret_cast<WPARAM>(layer().images[image - 1].get()), 0);
}

void setToolTip(int control, const std::string& text) {
    ControlEntry* entry = findControl(control);
    if (!entry) return;
    WindowEntry* window = windowOf(*entry);
    if (!window || !toolTipWindow(*window)) return;
    HWND owner = window->window.get();
    forgetToolTip(*entry);
    std::wstring tip = win32::wide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(entry->control.get());
    tool.lpszText = tip.data();
    entry->hasToolTip = ::SendMessageW(window->toolTip, TTM_ADDTOOLW, 0,
                                       reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void addListColumn(int list, int position, const std::string& title, int width) {
    ControlEntry* entry = findControl(list);
    if (!entry || entry->kind != ControlKind::ReportList) return;
    std::wstring text = win32::wide(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = scaled(width);
    column.iSubItem = position;
    ::SendMessageW(entry->control.get(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(position),
                   reinterpret_cast<LPARAM>(&column));
}

std::string getControlText(int control) {
    const ControlEntry* entry = findControl(control);
    if (!entry) return {};
    if (isList(entry->kind)) {
        const int row = selectedRow(*entry);
        return row < 0 ? std::string() : listRowText(*entry, row);
    }
    HWND handle = entry->control.get();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(::GetWindowTextLengthW(handle)) + 1);
    const int length = ::GetWindowTextW(handle, buffer.data(), static_cast<int>(buffer.size()));
    return win32::utf8(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void setControlText(int control, const std::string& text) {
    QuietScope quiet;
    const ControlEntry* entry = findControl(control);
    if (!entry || isList(entry->kind)) return;
    ::SetWindowTextW(entry->control.get(), win32::wide(text).c_str());
}

int getControlState(int control) {
    const ControlEntry* entry = findControl(control);
    if (!entry) return -1; // like a list without a selection: nothing to act on
    if (isList(entry->kind)) return selectedRow(*entry);
    if (entry->kind == ControlKind::Toggle || entry->kind == ControlKind::CheckBox)
        return ::SendMessageW(entry->control.get(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return 0;
}

void setControlState(int control, int state) {
    QuietScope quiet;
    const ControlEntry* entry = findControl(control);
    if (!entry) return;
    if (entry->kind == ControlKind::DropDown) {
        // A row that does not exist leaves no entry selected (Wine would keep the old one).
        const int row = state >= 0 && state < countListItems(control) ? state : -1;
        ::SendMessageW(entry->control.get(), CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        return;
    }
    if (entry->kind == ControlKind::ReportList || entry->kind == ControlKind::ListBox) {
        selectListRow(*entry, state);
        return;
    }
    if (entry->kind != ControlKind::Toggle && entry->kind != ControlKind::CheckBox) return;
    ::SendMessageW(entry->control.get(), BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
}

void hideControl(int control, int hide) {
    QuietScope quiet;
    if (const ControlEntry* entry = findControl(control))
        ::ShowWindow(entry->control.get(), hide ? SW_HIDE : SW_SHOW);
}

void disableControl(int control, int disable) {
    QuietScope quiet;
    if (const ControlEntry* entry = findControl(control))
        ::EnableWindow(entry->control.get(), disable ? FALSE : TRUE);
}

void clearListItems(int list) {
    QuietScope quiet;
    ControlEntry* entry = findControl(list);
    if (!entry || !isList(entry->kind)) return;
    entry->rowColours.clear();
    entry->rowTips.clear();
    const RowMessages* rows = rowMessages(entry->kind);
    ::SendMessageW(entry->control.get(), rows ? rows->reset : LVM_DELETEALLITEMS, 0, 0);
}

void holdListDrawing(int list, int hold) {
    ControlEntry* entry = findControl(list);
    if (!entry || !isList(entry->kind)) return;
    entry->drawingHeld = hold != 0;
    HWND handle = entry->control.get();
    ::SendMessageW(handle, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    // WM_SETREDRAW only allows drawing again: the rows and scroll bars are drawn here, once.
    if (!hold) ::RedrawWindow(handle, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void addListItem(int list, int position, const std::string& text) {
    QuietScope quiet;
    ControlEntry* entry = findControl(list);
    if (!entry || !isList(entry->kind)) return;
    HWND handle = entry->control.get();
    if (const RowMessages* rows = rowMessages(entry->kind)) {
        const int count = countListItems(list);
        const int row = (position < 0 || position > count) ? count : position;
        ::SendMessageW(handle, rows->insert, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(win32::wide(text).c_str()));
        return;
    }
    // A report list adds a row past its end at the end.
    const int row = position < 0 ? INT_MAX : position;
    std::vector<std::wstring> columns;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        columns.push_back(
            win32::wide(text.substr(start, end == std::string::npos ? end : end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = columns[0].data();
    const auto inserted = static_cast<int>(
        ::SendMessageW(handle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;
    const auto at = static_cast<std::size_t>(inserted);
    if (at <= entry->rowColours.size()) {
        entry->rowColours.insert(entry->rowColours.begin() + inserted, CLR_DEFAULT);
        entry->rowTips.insert(entry->rowTips.begin() + inserted, std::string());
    }
    for (std::size_t column = 1; column < columns.size(); ++column) {
        LVITEMW cell{};
        cell.iSubItem = static_cast<int>(column);
        cell.pszText = columns[column].data();
        ::SendMessageW(handle, LVM_SETITEMTEXTW, static_cast<WPARAM>(inserted),
                       reinterpret_cast<LPARAM>(&cell));
    }
}

int countListItems(int list) {
    const ControlEntry* entry = findControl(list);
    if (!entry || !isList(entry->kind)) return 0;
    const RowMessages* rows = rowMessages(entry->kind);
    const LRESULT count =
        ::SendMessageW(entry->control.get(), rows ? rows->count : LVM_GETITEMCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

void removeListItem(int list, int position) {
    QuietScope quiet;
    ControlEntry* entry = findControl(list);
    if (!entry || !isList(entry->kind) || position < 0) return;
    if (static_cast<std::size_t>(position) < entry->rowColours.size()) {
        entry->rowColours.erase(entry->rowColours.begin() + position);
        entry->rowTips.erase(entry->rowTips.begin() + position);
    }
    const RowMessages* rows = rowMessages(entry->kind);
    ::SendMessageW(entry->control.get(), rows ? rows->remove : LVM_DELETEITEM,
                   static_cast<WPARAM>(position), 0);
}

namespace {

ControlEntry* reportRow(int list, int row) {
    ControlEntry* entry = findControl(list);
    if (!entry || entry->kind != ControlKind::ReportList || row < 0 ||
        static_cast<std::size_t>(row) >= entry->rowColours.size())
        return nullptr;
    return entry;
}

} // namespace

void setListRowColour(int list, int row, std::uint32_t colour) {
    ControlEntry* entry = reportRow(list, row);
    if (!entry) return;
    entry->rowColours[static_cast<std::size_t>(row)] = colour;
    // Each invalidation is a round trip to the window system; a held list is drawn whole later.
    if (entry->drawingHeld) return;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    HWND handle = entry->control.get();
    if (::SendMessageW(handle, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&bounds)))
        ::InvalidateRect(handle, &bounds, FALSE);
}

void setListRowToolTip(int list, int row, const std::string& text) {
    ControlEntry* entry = reportRow(list, row);
    if (!entry) return;
    entry->rowTips[static_cast<std::size_t>(row)] = text;
    if (entry->rowTipTool || text.empty()) return;
    WindowEntry* window = windowOf(*entry);
    if (!window || !toolTipWindow(*window)) return;
    // One tool for the whole list, whose text is asked for (TTN_GETDISPINFO) row by row.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND; // the list's mouse messages are relayed by rowTipProcedure
    tool.hwnd = window->window.get();
    tool.uId = reinterpret_cast<UINT_PTR>(entry->control.get());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    if (!::SendMessageW(window->toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return;
    entry->rowTipTool = true;
    entry->hasToolTip = true; // taken off the tooltip with the list
    const auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        entry->control.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&rowTipProcedure)));
    if (!listViewProcedure) listViewProcedure = previous;
}

int showContextMenu(const std::vector<MenuItem>& items) {
    ControlEntry* entry = findControl(layer().lastEventControl);
    if (!entry || items.empty()) return 0;
    WindowEntry* window = windowOf(*entry);
    if (!window) return 0;
    HWND control = entry->control.get();
    POINT at = layer().contextPoint;
    if (at.x == -1 && at.y == -1) {
        // Asked for with the keyboard: below the selected row, else at the control's corner.
        RECT place{};
        place.left = LVIR_BOUNDS;
        const int row = entry->kind == ControlKind::ReportList ? selectedRow(*entry) : -1;
        if (row < 0 || !::SendMessageW(control, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                       reinterpret_cast<LPARAM>(&place)))
            place = RECT{0, 0, 0, 0};
        at = POINT{place.left + scaled(8), place.bottom};
        ::ClientToScreen(control, &at);
    }
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return 0;
    for (const MenuItem& item : items) {
        if (item.command == 0) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        ::AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                      static_cast<UINT_PTR>(item.command), win32::wide(item.caption).c_str());
    }
    HWND owner = window->window.get();
    ::SetForegroundWindow(owner); // else the menu would not go when the user clicks elsewhere
    const auto chosen = static_cast<int>(::TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
        at.y, owner, nullptr));
    ::DestroyMenu(menu);
    return chosen;
}

} // namespace oxlo::platform
