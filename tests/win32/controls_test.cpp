// Controls on the real classes: kinds and styles, sizes at the screen's DPI, fonts, images,
// tooltips, lists and states.
#include "platform/ui.h"
#include "win32/ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace platform = oxlo::platform;
using platform::ControlKind;
using namespace oxlo::win32test;

namespace {

class Controls : public WindowLayerTest {
protected:
    void SetUp() override {
        ASSERT_NE(platform::openWindow(0, 0, 0, 460, 300, "controls", kPlainWindowFlags), 0);
        platform::keepWindowsPainted(); // shows it, so its controls can be seen
    }
};

// An ICO file with one 16 x 16 image of 32 bits per pixel.
std::vector<std::uint8_t> iconFile() {
    constexpr std::uint32_t kImageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    std::vector<std::uint8_t> ico(22 + kImageBytes, 0);
    auto put16 = [&](std::size_t at, std::uint16_t v) { ico[at] = v & 0xFF; ico[at + 1] = v >> 8; };
    auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    put16(2, 1); // type: icon
    put16(4, 1); // one image
    ico[6] = 16;
    ico[7] = 16;
    put16(10, 1);
    put16(12, 32);
    put32(14, kImageBytes);
    put32(18, 22);
    put32(22, 40); // BITMAPINFOHEADER
    put32(26, 16);
    put32(30, 32); // colour and mask stacked
    put16(34, 1);
    put16(36, 32);
    for (std::size_t pixel = 0; pixel < 256; ++pixel) put32(62 + pixel * 4, 0xFF0000FFu); // blue
    return ico;
}

std::string columnTitle(HWND list, int column, int* width) {
    char text[64] = {};
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    if (!::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info))) return "<none>";
    *width = info.cx;
    return text;
}

std::string cell(HWND list, int row, int column) {
    char text[128] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void selectReportRow(HWND list, int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

TEST_F(Controls, EachKindIsItsStandardClassWithItsStyles) {
    struct Case {
        ControlKind kind;
        unsigned options;
        const char* className;
        LONG_PTR style;      // all of these bits
        LONG_PTR styleMask;  // compared under this mask
        LONG_PTR exStyle;
    };
    const Case cases[] = {
        {ControlKind::Label, 0, "Static", SS_LEFT, SS_TYPEMASK | SS_NOTIFY, 0},
        {ControlKind::Label, platform::kControlCentred, "Static", SS_CENTER, SS_TYPEMASK, 0},
        {ControlKind::Link, 0, "Static", SS_NOTIFY, SS_NOTIFY, 0},
        {ControlKind::Button, 0, "Button", BS_PUSHBUTTON, BS_TYPEMASK | BS_PUSHLIKE, 0},
        {ControlKind::Toggle, 0, "Button", BS_AUTOCHECKBOX | BS_PUSHLIKE, BS_TYPEMASK | BS_PUSHLIKE, 0},
        {ControlKind::CheckBox, 0, "Button", BS_AUTOCHECKBOX, BS_TYPEMASK | BS_PUSHLIKE, 0},
        {ControlKind::Field, 0, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL | ES_NUMBER | ES_MULTILINE, WS_EX_CLIENTEDGE},
        {ControlKind::Field, platform::kControlDigitsOnly, "Edit", ES_AUTOHSCROLL | ES_NUMBER, ES_AUTOHSCROLL | ES_NUMBER, WS_EX_CLIENTEDGE},
        {ControlKind::Frame, 0, "Button", BS_GROUPBOX, BS_TYPEMASK, 0},
        // (WS_VSCROLL comes and goes with the rows: the list box shows its scroll bar only when needed)
        {ControlKind::ListBox, 0, "ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE},
        {ControlKind::ReportList, 0, "SysListView32", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
        {ControlKind::Image, 0, "Static", SS_ICON, SS_TYPEMASK, 0},
        // The closed box measures the size given; its list opens below it.
        {ControlKind::DropDown, 0, "ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_SORT, 0},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("control " + std::to_string(number) + ", a " + c.className);
        ASSERT_NE(platform::createControl(number, c.kind, 10, 20, 120, 30, "caption", c.options), 0);
        HWND control = controlHandle(number);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(::GetDlgCtrlID(control), platform::win32::kControlIdBase + number);
        EXPECT_STRCASEEQ(classOf(control).c_str(), c.className);
        EXPECT_EQ(styleOf(control) & c.styleMask, c.style);
        EXPECT_EQ(exStyleOf(control) & WS_EX_CLIENTEDGE, c.exStyle);
        EXPECT_TRUE(styleOf(control) & WS_CHILD);
        if (c.kind != ControlKind::Image) { // an icon static sizes itself to its icon
            RECT frame;
            ::GetWindowRect(control, &frame);
            ::MapWindowPoints(nullptr, windowTitled("controls"), reinterpret_cast<POINT*>(&frame), 2);
            EXPECT_EQ(frame.left, atScreenDpi(10));
            EXPECT_EQ(frame.top, atScreenDpi(20));
            EXPECT_EQ(frame.right - frame.left, atScreenDpi(120));
            EXPECT_EQ(frame.bottom - frame.top, atScreenDpi(30));
        }
        ++number;
    }
    EXPECT_EQ(::SendMessageA(controlHandle(10), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                  LVS_EX_FULLROWSELECT,
              LVS_EX_FULLROWSELECT);
}

TEST_F(Controls, FontsHaveTheirPointSizeAtTheScreenDpiAndDefaultToTheGuiFont) {
    const platform::FontHandle label = platform::loadFont("MS Sans Serif", 10, true);
    const platform::FontHandle banner = platform::loadFont("Comic Sans MS", 14, false);
    ASSERT_NE(label, 0);
    ASSERT_NE(banner, 0);
    ASSERT_NE(label, banner);
    ASSERT_NE(platform::createControl(0, ControlKind::Label, 0, 0, 100, 20, "plain"), 0);
    ASSERT_NE(platform::createControl(1, ControlKind::Button, 0, 30, 100, 20, "bold"), 0);
    platform::setControlFont(1, label);
    EXPECT_EQ(::SendMessageA(controlHandle(0), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));

    LOGFONTA font{};
    ASSERT_NE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(controlHandle(1), WM_GETFONT, 0, 0)),
                           sizeof font, &font), 0);
    EXPECT_EQ(font.lfHeight, -::MulDiv(10, screenDpi(), 72));
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_FALSE(font.lfUnderline);

    platform::setControlFont(1, banner);
    ASSERT_NE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(controlHandle(1), WM_GETFONT, 0, 0)),
                           sizeof font, &font), 0);
    EXPECT_EQ(font.lfHeight, -::MulDiv(14, screenDpi(), 72));
    EXPECT_EQ(font.lfWeight, 400);
}

TEST_F(Controls, IconImagesFromIcoBytes) {
    const std::vector<std::uint8_t> ico = iconFile();
    const platform::ImageHandle image = platform::loadIconImage(ico.data(), ico.size());
    ASSERT_NE(image, 0);
    ASSERT_NE(platform::createControl(7, ControlKind::Image, 10, 15, 32, 32, ""), 0);
    platform::setControlImage(7, image);
    const auto icon = reinterpret_cast<HICON>(::SendMessageA(controlHandle(7), STM_GETICON, 0, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    // A window opened now shows that image as its icon: the test program has no icon resource.
    ASSERT_NE(platform::openWindow(1, 0, 0, 100, 50, "with icon", kPlainWindowFlags), 0);
    EXPECT_EQ(::SendMessageA(windowTitled("with icon"), WM_GETICON, ICON_BIG, 0),
              reinterpret_cast<LRESULT>(icon));

    struct Broken {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Broken> broken = {{"empty", {}}, {"header only", {ico.begin(), ico.begin() + 6}}};
    broken.push_back({"image cut short", {ico.begin(), ico.end() - 1}});
    broken.push_back({"not an icon", ico});
    broken.back().bytes[2] = 2; // a cursor file
    broken.push_back({"offset past the end", ico});
    broken.back().bytes[19] = 0x40;
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.what);
        EXPECT_EQ(platform::loadIconImage(b.bytes.data(), b.bytes.size()), 0);
    }
}

TEST_F(Controls, ReportListColumnsRowsAndSelection) {
    ASSERT_NE(platform::createControl(0, ControlKind::ReportList, 15, 35, 330, 190, ""), 0);
    platform::addListColumn(0, 0, "FID/CODE", 75);
    platform::addListColumn(0, 1, "Name", 250);
    HWND list = controlHandle(0);
    int width = 0;
    EXPECT_EQ(columnTitle(list, 0, &width), "FID/CODE");
    EXPECT_EQ(width, atScreenDpi(75));
    EXPECT_EQ(columnTitle(list, 1, &width), "Name");
    EXPECT_EQ(width, atScreenDpi(250));

    EXPECT_EQ(platform::getControlState(0), -1) << "an empty list has no selection";
    platform::addListItem(0, -1, "FID6001\nFirst");
    platform::addListItem(0, -1, "FID6002\nSecond\nignored");
    platform::addListItem(0, 0, "PID1\nTop");
    platform::addListItem(0, 99, "FID6003"); // past the end: appended
    ASSERT_EQ(platform::countListItems(0), 4);
    const char* expected[][2] = {{"PID1", "Top"}, {"FID6001", "First"}, {"FID6002", "Second"}, {"FID6003", ""}};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(cell(list, row, 0), expected[row][0]);
        EXPECT_EQ(cell(list, row, 1), expected[row][1]);
    }
    EXPECT_EQ(platform::getControlState(0), -1);
    EXPECT_EQ(platform::getControlText(0), "");

    selectReportRow(list, 2);
    EXPECT_EQ(platform::getControlState(0), 2);
    EXPECT_EQ(platform::getControlText(0), "FID6002") << "the first column of the selected row";

    platform::removeListItem(0, 0);
    EXPECT_EQ(platform::countListItems(0), 3);
    EXPECT_EQ(cell(list, 0, 0), "FID6001");
    EXPECT_EQ(platform::getControlState(0), 1) << "the selection moves with its row";
    platform::clearListItems(0);
    EXPECT_EQ(platform::countListItems(0), 0);
    EXPECT_EQ(platform::getControlState(0), -1);
}

TEST_F(Controls, AHeldReportListTakesRowsUnseenAndShowsThemWhenReleased) {
    ASSERT_NE(platform::createControl(0, ControlKind::ReportList, 15, 35, 330, 190, ""), 0);
    platform::addListColumn(0, 0, "FID/CODE", 75);
    HWND list = controlHandle(0);
    ASSERT_TRUE(IsWindowVisible(list));
    platform::holdListDrawing(0, 1);
    for (int row = 0; row < 30; ++row) platform::addListItem(0, -1, "FID" + std::to_string(row));
    EXPECT_EQ(platform::countListItems(0), 30) << "rows are taken while drawing is held";
    platform::holdListDrawing(0, 0);
    EXPECT_TRUE(IsWindowVisible(list)) << "the released list must be drawn again";
    EXPECT_EQ(cell(list, 29, 0), "FID29");
    EXPECT_NE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0) << "30 rows need a scroll bar";
}

TEST_F(Controls, ListBoxRowsAndSelection) {
    ASSERT_NE(platform::createControl(3, ControlKind::ListBox, 10, 10, 200, 100, ""), 0);
    HWND list = controlHandle(3);
    for (const char* map : {"B.IMG", "A.IMG", "C.IMG"}) platform::addListItem(3, -1, map);
    platform::addListItem(3, 1, "first\nline"); // a list box keeps the text as it is
    ASSERT_EQ(platform::countListItems(3), 4);
    char text[32] = {};
    ::SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "B.IMG") << "not sorted";
    EXPECT_EQ(platform::getControlState(3), -1);
    EXPECT_EQ(platform::getControlText(3), "");
    ::SendMessageA(list, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(platform::getControlState(3), 2);
    EXPECT_EQ(platform::getControlText(3), "A.IMG");
    platform::removeListItem(3, 2);
    EXPECT_EQ(platform::countListItems(3), 3);
    platform::clearListItems(3);
    EXPECT_EQ(platform::countListItems(3), 0);
}

TEST_F(Controls, DropDownEntriesSelectionAndUserChoice) {
    ASSERT_NE(platform::createControl(28, ControlKind::DropDown, 310, 20, 160, 20, ""), 0);
    HWND dropDown = controlHandle(28);
    for (const char* entry : {"mkgmap", "cgpsmapper"}) platform::addListItem(28, -1, entry);
    platform::addListItem(28, 0, "first");
    ASSERT_EQ(platform::countListItems(28), 3);
    char text[32] = {};
    ::SendMessageA(dropDown, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "mkgmap") << "kept in the order added";
    EXPECT_EQ(platform::getControlState(28), -1);
    EXPECT_EQ(platform::getControlText(28), "");

    // The program's choice raises no event; a row that is not there selects none.
    const struct {
        int state;
        int selected;
        const char* text;
    } choices[] = {{2, 2, "cgpsmapper"}, {1, 1, "mkgmap"}, {5, -1, ""}, {1, 1, "mkgmap"}};
    for (const auto& choice : choices) {
        SCOPED_TRACE("setControlState " + std::to_string(choice.state));
        platform::setControlState(28, choice.state);
        EXPECT_EQ(::SendMessageA(dropDown, CB_GETCURSEL, 0, 0), choice.selected);
        EXPECT_EQ(platform::getControlState(28), choice.selected);
        EXPECT_EQ(platform::getControlText(28), choice.text);
    }
    settle();
    EXPECT_FALSE(nextEvent(300).has_value()) << "the program's own choice fired";

    // The user picks the next entry with the keyboard, as on the closed box.
    ::SetFocus(dropDown);
    settle();
    ::SendMessageA(dropDown, WM_KEYDOWN, VK_DOWN, 0);
    const auto event = nextEvent();
    ASSERT_TRUE(event.has_value()) << "no event for the user's choice";
    EXPECT_EQ(event->kind, platform::EventKind::Control);
    EXPECT_EQ(event->control, 28);
    EXPECT_EQ(platform::getControlText(28), "cgpsmapper");

    platform::removeListItem(28, 0);
    EXPECT_EQ(platform::countListItems(28), 2);
    platform::clearListItems(28);
    EXPECT_EQ(platform::countListItems(28), 0);
    EXPECT_EQ(platform::getControlState(28), -1);
}

TEST_F(Controls, StatesTextsVisibilityAndEnabling) {
    ASSERT_NE(platform::createControl(20, ControlKind::Toggle, 0, 0, 80, 25, "Auto"), 0);
    ASSERT_NE(platform::createControl(21, ControlKind::CheckBox, 0, 30, 20, 20, ""), 0);
    ASSERT_NE(platform::createControl(22, ControlKind::Field, 0, 60, 80, 20, "start"), 0);
    for (int control : {20, 21}) {
        SCOPED_TRACE("control " + std::to_string(control));
        EXPECT_EQ(platform::getControlState(control), 0);
        platform::setControlState(control, 1);
        EXPECT_EQ(::SendMessageA(controlHandle(control), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(platform::getControlState(control), 1);
        platform::setControlState(control, 0);
        EXPECT_EQ(platform::getControlState(control), 0);
    }
    EXPECT_EQ(platform::getControlText(22), "start");
    platform::setControlText(22, "Oxlo Maps");
    char text[32] = {};
    ::GetWindowTextA(controlHandle(22), text, sizeof text);
    EXPECT_STREQ(text, "Oxlo Maps");
    EXPECT_EQ(platform::getControlText(22), "Oxlo Maps");

    platform::hideControl(22, 1);
    EXPECT_FALSE(::IsWindowVisible(controlHandle(22)));
    platform::hideControl(22, 0);
    EXPECT_TRUE(::IsWindowVisible(controlHandle(22)));
    platform::disableControl(20, 1);
    EXPECT_FALSE(::IsWindowEnabled(controlHandle(20)));
    platform::disableControl(20, 0);
    EXPECT_TRUE(::IsWindowEnabled(controlHandle(20)));

    EXPECT_EQ(platform::getControlState(99), -1) << "no such control";
    EXPECT_EQ(platform::getControlText(99), "");
    platform::setControlText(99, "nowhere"); // harmless
}

TEST_F(Controls, OneToolTipPerWindowWithOneToolPerControl) {
    ASSERT_NE(platform::createControl(2, ControlKind::Button, 360, 35, 85, 30, "&Refresh"), 0);
    ASSERT_NE(platform::createControl(3, ControlKind::Button, 360, 75, 85, 30, "&New"), 0);
    platform::setToolTip(2, "Update mapset list");
    platform::setToolTip(3, "Create new mapset");
    platform::setToolTip(3, "Create a new mapset"); // replaces, does not add

    HWND tip = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tip && ::GetWindow(tip, GW_OWNER) != windowTitled("controls"))
        tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    char text[64] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = windowTitled("controls");
    tool.uId = reinterpret_cast<UINT_PTR>(controlHandle(3));
    tool.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Create a new mapset");

    // Reusing the number removes the tool of the control that goes.
    ASSERT_NE(platform::createControl(3, ControlKind::Label, 0, 0, 50, 20, "label"), 0);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(Controls, LinkShowsAHandAndTurnsBlackWhileHovered) {
    ASSERT_NE(platform::createControl(3, ControlKind::Link, 205, 70, 110, 15, "www.example.org"), 0);
    HWND link = controlHandle(3);
    HWND window = windowTitled("controls");
    HDC dc = ::CreateCompatibleDC(nullptr);
    auto textColour = [&] {
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(link));
        return ::GetTextColor(dc);
    };
    const COLORREF atRest = textColour();
    EXPECT_NE(atRest, RGB(1, 2, 3)) << "the link chooses its own colour";
    EXPECT_NE(atRest, RGB(0, 0, 0)) << "black is the hover colour";
    ::SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(textColour(), RGB(0, 0, 0));
    ::SendMessageA(link, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(textColour(), atRest);
    ::DeleteDC(dc);

    EXPECT_TRUE(::SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));

    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(link, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_FALSE(font.lfUnderline);
}

} // namespace
