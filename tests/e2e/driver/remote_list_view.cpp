#include "driver/driver.h"
#include "driver/failure.h"

#include <commctrl.h>

namespace oxlo::e2e {

namespace {

// The remote block: the item or column record, then the text buffer its pszText points at.
constexpr std::size_t kRecordSize = 256;
constexpr std::size_t kTextSize = 1024;

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result)) {
        failWithError("list view message " + std::to_string(message) + " to " + nameWindow(window),
                      GetLastError());
    }
    return static_cast<LRESULT>(result);
}

DWORD processOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (!processId) fail("no list view: the window no longer exists");
    return processId;
}

// Writes `record` to the start of the remote block with its text pointer aimed just past it,
// sends `message` and reads back the text.
template <typename Record>
std::string exchangeText(RemoteMemory& memory, HWND listView, UINT message, WPARAM wParam,
                         Record record) {
    static_assert(sizeof(Record) <= kRecordSize);
    record.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.address()) + kRecordSize);
    record.cchTextMax = static_cast<int>(kTextSize / sizeof(wchar_t));
    const wchar_t empty = 0;
    memory.write(0, &record, sizeof record);
    memory.write(kRecordSize, &empty, sizeof empty);
    send(listView, message, wParam, reinterpret_cast<LPARAM>(memory.address()));
    return memory.readWideText(kRecordSize);
}

} // namespace

RemoteListView::RemoteListView(HWND listView)
    : listView_(listView),
      memory_(std::make_unique<RemoteMemory>(processOf(listView), kRecordSize + kTextSize)) {}

int RemoteListView::rowCount() const {
    return static_cast<int>(send(listView_, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::columnCount() const {
    auto header = reinterpret_cast<HWND>(send(listView_, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int RemoteListView::columnWidth(int column) const {
    return static_cast<int>(send(listView_, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string RemoteListView::columnTitle(int column) const {
    LVCOLUMNW record{};
    record.mask = LVCF_TEXT;
    return exchangeText(*memory_, listView_, LVM_GETCOLUMNW, column, record);
}

std::string RemoteListView::cellText(int row, int column) const {
    LVITEMW record{};
    record.mask = LVIF_TEXT;
    record.iItem = row;
    record.iSubItem = column;
    return exchangeText(*memory_, listView_, LVM_GETITEMTEXTW, row, record);
}

std::vector<std::vector<std::string>> RemoteListView::rows() const {
    const int columns = columnCount();
    std::vector<std::vector<std::string>> result(rowCount());
    for (std::size_t row = 0; row < result.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            result[row].push_back(cellText(static_cast<int>(row), column));
        }
    }
    return result;
}

int RemoteListView::selectedRow() const {
    return static_cast<int>(
        send(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

RECT RemoteListView::rowRect(int row) const {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    memory_->write(0, &rect, sizeof rect);
    if (!send(listView_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(memory_->address()))) {
        fail("the list view has no row " + std::to_string(row));
    }
    memory_->read(0, &rect, sizeof rect);
    return rect;
}

void RemoteListView::selectRow(int row) {
    LVITEMA record{};
    record.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    record.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory_->write(0, &record, sizeof record);
    if (!send(listView_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory_->address()))) {
        fail("the list view refused to select row " + std::to_string(row));
    }
}

} // namespace oxlo::e2e
