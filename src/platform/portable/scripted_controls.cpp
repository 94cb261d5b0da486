// The scripted controls of ui.h. Operations on a control that does not exist do nothing, as the
// Win32 calls do on a missing window.
#include "platform/portable/scripted_state.h"

namespace oxlo::platform {
using namespace scripted;

namespace {

// The window that receives new controls: the one opened last among those still open.
int windowForControls()
{
    int window = -1;
    long latest = 0;
    for (const auto& [number, live] : state().windows) {
        if (live.opening > latest) {
            latest = live.opening;
            window = number;
        }
    }
    return window;
}

} // namespace

int createControl(int number, ControlKind kind, int x, int y, int width, int height,
                  const std::string& caption, unsigned options)
{
    const int window = windowForControls();
    if (window < 0)
        return 0;
    state().controls.erase(number); // wherever it lives
    ControlRecord record;
    record.number = number;
    record.window = window;
    record.kind = kind;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    record.text = caption;
    record.options = options;
    state().controls[number] = LiveControl{record, ++state().serial};
    return 1;
}

void setControlFont(int control, FontHandle font)
{
    if (ControlRecord* record = liveControl(control))
        record->font = font;
}

void setControlImage(int control, ImageHandle image)
{
    if (ControlRecord* record = liveControl(control))
        record->image = image;
}

void setToolTip(int control, const std::string& text)
{
    if (ControlRecord* record = liveControl(control))
        record->toolTip = text;
}

void addListColumn(int list, int position, const std::string& title, int width)
{
    ControlRecord* record = liveControl(list);
    if (record == nullptr || record->kind != ControlKind::ReportList)
        return;
    auto& columns = record->columns;
    const auto at = position < 0 || position > static_cast<int>(columns.size())
                        ? columns.end()
                        : columns.begin() + position;
    columns.insert(at, ColumnRecord{title, width});
}

std::string getControlText(int control)
{
    const ControlRecord* record = liveControl(control);
    if (record == nullptr)
        return {};
    if (!holdsRows(*record))
        return record->text;
    if (record->selected < 0 || record->selected >= static_cast<int>(record->rows.size()))
        return {};
    const std::string& row = record->rows[static_cast<std::size_t>(record->selected)];
    return row.substr(0, row.find('\n'));
}

void setControlText(int control, const std::string& text)
{
    ControlRecord* record = liveControl(control);
    if (record == nullptr || holdsRows(*record))
        return;
    record->text = text; // the program's own change: no event, as in the Win32 layer
}

int getControlState(int control)
{
    const ControlRecord* record = liveControl(control);
    if (record == nullptr)
        return -1; // like a list without a selection: nothing to act on
    if (holdsRows(*record))
        return record->selected;
    if (record->kind == ControlKind::Toggle || record->kind == ControlKind::CheckBox)
        return record->state;
    return 0;
}

void setControlState(int control, int newState)
{
    ControlRecord* record = liveControl(control);
    if (record == nullptr)
        return;
    if (record->kind == ControlKind::Toggle || record->kind == ControlKind::CheckBox)
        record->state = newState != 0 ? 1 : 0;
    // As CB_SETCURSEL: a row that does not exist leaves no entry selected.
    if (holdsRows(*record))
        record->selected =
            newState >= 0 && newState < static_cast<int>(record->rows.size()) ? newState : -1;
}

void hideControl(int control, int hide)
{
    if (ControlRecord* record = liveControl(control))
        record->visible = hide == 0;
}

void disableControl(int control, int disable)
{
    if (ControlRecord* record = liveControl(control))
        record->enabled = disable == 0;
}

void clearListItems(int list)
{
    ControlRecord* record = liveControl(list);
    if (record == nullptr || !holdsRows(*record))
        return;
    record->rows.clear();
    record->rowColours.clear();
    record->rowToolTips.clear();
    record->selected = -1;
}

void holdListDrawing(int list, int hold)
{
    ControlRecord* record = liveControl(list);
    if (record != nullptr && holdsRows(*record))
        record->drawingHeld = hold != 0;
}

void addListItem(int list, int position, const std::string& text)
{
    ControlRecord* record = liveControl(list);
    if (record == nullptr || !holdsRows(*record))
        return;
    if (record->drawingHeld)
        ++record->rowsAddedWhileHeld;
    auto& rows = record->rows;
    if (position < 0 || position >= static_cast<int>(rows.size())) {
        rows.push_back(text);
        record->rowColours.push_back(kListColour);
        record->rowToolTips.emplace_back();
        return;
    }
    rows.insert(rows.begin() + position, text);
    record->rowColours.insert(record->rowColours.begin() + position, kListColour);
    record->rowToolTips.insert(record->rowToolTips.begin() + position, std::string());
    if (record->selected >= position)
        ++record->selected; // the selection stays with its row
}

int countListItems(int list)
{
    const ControlRecord* record = liveControl(list);
    return record != nullptr && holdsRows(*record) ? static_cast<int>(record->rows.size()) : 0;
}

void removeListItem(int list, int position)
{
    ControlRecord* record = liveControl(list);
    if (record == nullptr || !holdsRows(*record) || position < 0 ||
        position >= static_cast<int>(record->rows.size()))
        return;
    record->rows.erase(record->rows.begin() + position);
    record->rowColours.erase(record->rowColours.begin() + position);
    record->rowToolTips.erase(record->rowToolTips.begin() + position);
    if (record->selected == position)
        record->selected = -1;
    else if (record->selected > position)
        --record->selected;
}

namespace {

// The row of a report list that exists now, or null.
ControlRecord* reportRow(int list, int row)
{
    ControlRecord* record = liveControl(list);
    if (record == nullptr || record->kind != ControlKind::ReportList || row < 0 ||
        row >= static_cast<int>(record->rows.size()))
        return nullptr;
    return record;
}

} // namespace

void setListRowColour(int list, int row, std::uint32_t colour)
{
    if (ControlRecord* record = reportRow(list, row))
        record->rowColours[static_cast<std::size_t>(row)] = colour;
}

void setListRowToolTip(int list, int row, const std::string& text)
{
    if (ControlRecord* record = reportRow(list, row))
        record->rowToolTips[static_cast<std::size_t>(row)] = text;
}

} // namespace oxlo::platform
