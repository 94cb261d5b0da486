// Events of the Win32 window layer: control events in the order raised, which notifications
// count, close requests, events from other threads, and painting without input.
#include "platform/ui.h"
#include "win32/ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace platform = oxlo::platform;
using platform::ControlKind;
using platform::EventKind;
using namespace oxlo::win32test;

namespace {

class Events : public WindowLayerTest {
protected:
    void SetUp() override {
        ASSERT_NE(platform::openWindow(0, 0, 0, 400, 300, "events", kPlainWindowFlags), 0);
        window_ = windowTitled("events");
        settle();
    }

    // The control numbers of the next `count` control events; a close request or silence ends
    // the list early, so a missing event shows as a shorter list.
    std::vector<int> controlEvents(std::size_t count) {
        std::vector<int> seen;
        while (seen.size() < count) {
            const auto event = nextEvent();
            if (!event || event->kind != EventKind::Control) break;
            seen.push_back(event->control);
        }
        return seen;
    }

    // Nothing but Other events are waiting.
    void expectNoEvent() {
        const auto event = nextEvent(300);
        EXPECT_FALSE(event.has_value()) << "unexpected " << describe(*event);
    }

    HWND window_ = nullptr;
};

void click(HWND control) { ::SendMessageA(control, BM_CLICK, 0, 0); }

TEST_F(Events, ControlEventsComeInTheOrderRaised) {
    ASSERT_NE(platform::createControl(2, ControlKind::Button, 10, 10, 80, 25, "&Refresh"), 0);
    ASSERT_NE(platform::createControl(0, ControlKind::Toggle, 10, 40, 80, 25, "Auto"), 0);
    ASSERT_NE(platform::createControl(9, ControlKind::CheckBox, 10, 70, 20, 20, ""), 0);
    ASSERT_NE(platform::createControl(5, ControlKind::Field, 10, 100, 80, 20, ""), 0);
    click(controlHandle(2));
    ::SendMessageA(controlHandle(5), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    click(controlHandle(0));
    click(controlHandle(9));
    click(controlHandle(2));
    EXPECT_EQ(controlEvents(5), (std::vector<int>{2, 5, 0, 9, 2}));
    EXPECT_EQ(platform::eventControl(), 2);
    EXPECT_EQ(platform::getControlState(0), 1) << "the toggle stays down";
    EXPECT_EQ(platform::getControlState(9), 1);
    expectNoEvent();
}

TEST_F(Events, TheProgramsOwnChangesAreNoEvents) {
    ASSERT_NE(platform::createControl(1, ControlKind::Field, 10, 10, 80, 20, ""), 0);
    ASSERT_NE(platform::createControl(2, ControlKind::Toggle, 10, 40, 80, 25, "Auto"), 0);
    ASSERT_NE(platform::createControl(3, ControlKind::ReportList, 10, 70, 200, 100, ""), 0);
    platform::addListColumn(3, 0, "Name", 100);
    platform::addListItem(3, -1, "one");
    platform::addListItem(3, -1, "two");
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(controlHandle(3), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    ::SetFocus(controlHandle(1));
    ASSERT_EQ(controlEvents(2), (std::vector<int>{3, 1})) << "the user's selection and focus";

    platform::setControlText(1, "set by the program");
    platform::setControlState(2, 1);
    platform::removeListItem(3, 1); // the selected row
    platform::addListItem(3, 0, "zero");
    platform::clearListItems(3);
    platform::hideControl(1, 1); // had the focus
    platform::hideControl(1, 0);
    ::SetFocus(controlHandle(1));
    ASSERT_EQ(controlEvents(1), std::vector<int>{1});
    ASSERT_NE(platform::openWindow(1, 0, 0, 200, 100, "takes the focus", kPlainWindowFlags), 0);
    expectNoEvent();
}

TEST_F(Events, LabelsFramesAndImagesNeverFire) {
    ASSERT_NE(platform::createControl(1, ControlKind::Label, 10, 10, 80, 20, "label"), 0);
    ASSERT_NE(platform::createControl(2, ControlKind::Frame, 10, 40, 80, 60, "frame"), 0);
    ASSERT_NE(platform::createControl(3, ControlKind::Image, 10, 110, 32, 32, ""), 0);
    for (int control : {1, 2, 3}) {
        ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(platform::win32::kControlIdBase + control, 0),
                       reinterpret_cast<LPARAM>(controlHandle(control)));
    }
    click(controlHandle(2));
    expectNoEvent();
}

TEST_F(Events, LinkFiresWhenTheButtonIsReleased) {
    ASSERT_NE(platform::createControl(3, ControlKind::Link, 10, 10, 110, 15, "www.example.org"), 0);
    HWND link = controlHandle(3);
    ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    expectNoEvent();
    ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(controlEvents(1), std::vector<int>{3});
}

TEST_F(Events, FieldFiresOnChangeAndFocus) {
    ASSERT_NE(platform::createControl(4, ControlKind::Field, 10, 10, 80, 20, ""), 0);
    ASSERT_NE(platform::createControl(6, ControlKind::Button, 10, 40, 80, 25, "other"), 0);
    ::SetFocus(controlHandle(4));
    ::SendMessageA(controlHandle(4), WM_CHAR, '7', 0);
    ::SetFocus(controlHandle(6));
    EXPECT_EQ(controlEvents(3), (std::vector<int>{4, 4, 4})) << "focus gained, typed, focus lost";
    EXPECT_EQ(platform::getControlText(4), "7");
}

TEST_F(Events, ListsFireWhenTheUserChangesTheSelection) {
    ASSERT_NE(platform::createControl(1, ControlKind::ListBox, 10, 10, 150, 100, ""), 0);
    ASSERT_NE(platform::createControl(0, ControlKind::ReportList, 170, 10, 200, 100, ""), 0);
    platform::addListColumn(0, 0, "Name", 100);
    for (const char* row : {"one", "two"}) {
        platform::addListItem(1, -1, row);
        platform::addListItem(0, -1, row);
    }
    expectNoEvent(); // filling a list is no event

    HWND listBox = controlHandle(1);
    const auto rowHeight = static_cast<int>(::SendMessageA(listBox, LB_GETITEMHEIGHT, 0, 0));
    const LPARAM secondRow = MAKELPARAM(5, rowHeight + rowHeight / 2);
    ::SendMessageA(listBox, WM_LBUTTONDOWN, MK_LBUTTON, secondRow);
    ::SendMessageA(listBox, WM_LBUTTONUP, 0, secondRow);
    EXPECT_EQ(controlEvents(1), std::vector<int>{1});
    EXPECT_EQ(platform::getControlState(1), 1);

    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageA(controlHandle(0), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(controlEvents(1), std::vector<int>{0});
    EXPECT_EQ(platform::getControlText(0), "two");
    NMHDR rightClick{controlHandle(0), static_cast<UINT_PTR>(platform::win32::kControlIdBase),
                     static_cast<UINT>(NM_RCLICK)};
    ::SendMessageA(window_, WM_NOTIFY, rightClick.idFrom, reinterpret_cast<LPARAM>(&rightClick));
    EXPECT_EQ(controlEvents(1), std::vector<int>{0});
}

TEST_F(Events, EventsOfADestroyedControlAreDropped) {
    ASSERT_NE(platform::createControl(5, ControlKind::Button, 10, 10, 80, 25, "&Uninstall"), 0);
    ASSERT_NE(platform::createControl(6, ControlKind::Button, 10, 40, 80, 25, "&Quit"), 0);
    click(controlHandle(5));
    click(controlHandle(6));
    // A task window takes over number 5 before the loop has taken the click: it must not fire
    // the new control 5.
    ASSERT_NE(platform::openWindow(1, 0, 0, 200, 100, "task", kPlainWindowFlags), 0);
    ASSERT_NE(platform::createControl(5, ControlKind::Field, 10, 10, 80, 20, ""), 0);
    EXPECT_EQ(controlEvents(1), std::vector<int>{6});
    expectNoEvent();
}

TEST_F(Events, ClosingAsksTheLoopAndLeavesTheWindow) {
    ::PostMessageA(window_, WM_CLOSE, 0, 0);
    auto event = nextEvent();
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->kind, EventKind::Close);
    EXPECT_TRUE(::IsWindow(window_)) << "the loop decides whether the window goes";

    ::PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    event = nextEvent();
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->kind, EventKind::Close);

    // A close request of a window closed before the loop took it is gone with the window.
    ASSERT_NE(platform::openWindow(2, 0, 0, 200, 100, "edit", kPlainWindowFlags), 0);
    ::SendMessageA(windowTitled("edit"), WM_CLOSE, 0, 0);
    platform::closeWindow(2);
    expectNoEvent();
}

TEST_F(Events, AnEventRaisedFromAnotherThreadEndsTheWait) {
    ASSERT_NE(platform::createControl(2, ControlKind::Field, 10, 10, 80, 20, ""), 0);
    HWND field = controlHandle(2);
    HWND window = window_;
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // As a driver in another process does: the edit's EN_CHANGE arrives while GetMessage waits.
    std::thread other([field, window, done] {
        ::Sleep(200);
        ::SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("remote"));
        if (::WaitForSingleObject(done, 3000) == WAIT_TIMEOUT)
            ::PostMessageA(window, WM_NULL, 0, 0); // ends a wait that the event failed to end
    });
    const ULONGLONG start = ::GetTickCount64();
    EventKind kind = EventKind::Other;
    while (kind == EventKind::Other && ::GetTickCount64() - start < 2500)
        kind = platform::waitWindowEvent(); // no timer here: only the event can end the wait
    ::SetEvent(done);
    EXPECT_EQ(kind, EventKind::Control);
    EXPECT_EQ(platform::eventControl(), 2);
    other.join();
    ::CloseHandle(done);
}

TEST_F(Events, KeepingWindowsPaintedLeavesInputWaiting) {
    ASSERT_NE(platform::createControl(3, ControlKind::Button, 10, 10, 80, 25, "&New"), 0);
    settle();
    ::PostMessageA(controlHandle(3), BM_CLICK, 0, 0);
    ::InvalidateRect(window_, nullptr, TRUE);
    platform::keepWindowsPainted();
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(window_, &dirty, FALSE)) << "painted";
    MSG waiting;
    EXPECT_TRUE(::PeekMessageA(&waiting, controlHandle(3), BM_CLICK, BM_CLICK, PM_NOREMOVE))
        << "the click must wait for the loop";
    EXPECT_EQ(controlEvents(1), std::vector<int>{3});
}

} // namespace

namespace {

// Posts the keystrokes Windows would queue for Alt + `letter` to `target`.
void postAltLetter(HWND target, char letter) {
    const LPARAM altDown = 1 | (1 << 29);
    ::PostMessageA(target, WM_SYSKEYDOWN, VK_MENU, altDown);
    ::PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), altDown);
}

} // namespace

TEST_F(Events, AltAndAMnemonicLetterPressesItsButton) {
    ASSERT_NE(platform::createControl(2, ControlKind::Button, 10, 10, 80, 25, "&Refresh"), 0);
    ASSERT_NE(platform::createControl(6, ControlKind::Button, 10, 40, 80, 25, "&Quit"), 0);
    ::SetFocus(controlHandle(2));
    postAltLetter(controlHandle(2), 'q');
    EXPECT_EQ(controlEvents(1), (std::vector<int>{6})) << "Alt+Q presses &Quit";
    postAltLetter(controlHandle(2), 'x');
    expectNoEvent();
}

TEST_F(Events, TabMovesTheFocusToTheNextControl) {
    ASSERT_NE(platform::createControl(2, ControlKind::Button, 10, 10, 80, 25, "&Refresh"), 0);
    ASSERT_NE(platform::createControl(3, ControlKind::Button, 10, 40, 80, 25, "&New"), 0);
    ::SetFocus(controlHandle(2));
    ::PostMessageA(controlHandle(2), WM_KEYDOWN, VK_TAB, 1);
    while (nextEvent(300)) {
    }
    EXPECT_EQ(::GetFocus(), controlHandle(3));
}
