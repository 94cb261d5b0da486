// Drop-downs (combo boxes of fixed entries) of another process: read, and chosen with the real
// mouse.
#include "driver/driver.h"
#include "driver/failure.h"

namespace oxlo::e2e {

namespace {

constexpr std::size_t kEntryRoom = 512;

LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result))
        failWithError("no answer from " + nameWindow(window), GetLastError());
    return static_cast<LRESULT>(result);
}

// The opened list of a drop-down: a visible top-level "ComboLBox" of its process.
HWND openedList(HWND dropDown, milliseconds wait) {
    DWORD processId = 0;
    GetWindowThreadProcessId(dropDown, &processId);
    HWND list = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(processId))
                if (windowClass(window) == "ComboLBox") list = window;
            return list != nullptr;
        },
        wait);
    return list;
}

} // namespace

std::vector<std::string> dropDownEntries(HWND dropDown) {
    std::vector<std::string> entries;
    const LRESULT count = ask(dropDown, CB_GETCOUNT);
    for (LRESULT row = 0; row < count; ++row) {
        if (ask(dropDown, CB_GETLBTEXTLEN, static_cast<WPARAM>(row)) >=
            static_cast<LRESULT>(kEntryRoom))
            fail("an entry of " + nameWindow(dropDown) + " is too long to read");
        // Windows copies a combo box's entry across processes, but Wine only as wide text.
        wchar_t text[kEntryRoom] = {};
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(dropDown, CB_GETLBTEXT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, &length))
            failWithError("no entry " + std::to_string(row) + " from " + nameWindow(dropDown),
                          GetLastError());
        char narrow[2 * kEntryRoom] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        entries.emplace_back(narrow);
    }
    return entries;
}

int dropDownSelection(HWND dropDown) {
    return static_cast<int>(ask(dropDown, CB_GETCURSEL));
}

void chooseDropDownEntry(HWND dropDown, int row) {
    // A click that comes while the window is still being brought to the front may be lost; a
    // user would click again.
    HWND list = nullptr;
    for (int click = 0; click < 3 && !list; ++click) {
        clickButtonWithMouse(dropDown);
        list = openedList(dropDown, milliseconds(2000));
    }
    if (!list) fail(nameWindow(dropDown) + " did not open its list when clicked");
    const auto rowHeight = static_cast<int>(ask(list, LB_GETITEMHEIGHT));
    // The same for the press on the row: while the list stays open, nothing was chosen yet.
    bool chosen = false;
    for (int click = 0; click < 3 && !chosen && IsWindowVisible(list); ++click) {
        clickWithMouse(list, 5, rowHeight * row + rowHeight / 2);
        chosen = waitUntil([&] { return dropDownSelection(dropDown) == row; }, milliseconds(2000));
    }
    if (!chosen && !waitUntil([&] { return dropDownSelection(dropDown) == row; }))
        fail("row " + std::to_string(row) + " of " + nameWindow(dropDown) + " was not chosen");
}

} // namespace oxlo::e2e
