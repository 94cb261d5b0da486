// The scripted window layer: windows, fonts, images and the event wait of ui.h.
#include "platform/portable/scripted_state.h"

#include <algorithm>

namespace oxlo::platform {
using namespace scripted;

namespace {

void destroyControlsOf(int window)
{
    for (auto it = state().controls.begin(); it != state().controls.end();) {
        if (it->second.record.window == window)
            it = state().controls.erase(it);
        else
            ++it;
    }
}

bool kindFires(ControlKind kind)
{
    return kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::Image;
}

// The control a step aims at, checked as a user would meet it: present, shown, enabled and of a
// kind that can fire at all.
ControlRecord& usableControl(const Step& step, const char* action)
{
    ControlRecord* control = liveControl(step.control);
    std::string problem;
    if (control == nullptr)
        problem = "does not exist";
    else if (!control->visible)
        problem = "is hidden";
    else if (const WindowRecord* window = findWindow(control->window); window && window->hidden)
        problem = "is in a hidden window";
    else if (!control->enabled)
        problem = "is disabled";
    else if (!kindFires(control->kind))
        problem = "never fires an event";
    if (!problem.empty())
        throw ScriptError(std::string("scripted ") + action + ": " + describeControl(step.control) +
                          " " + problem);
    return *control;
}

void requireKind(const ControlRecord& control, bool allowed, const char* action)
{
    if (!allowed)
        throw ScriptError(std::string("scripted ") + action + ": " + describeControl(control.number) +
                          " is not a control of that kind");
}

} // namespace

void initialiseWindowing() {}

FontHandle loadFont(const std::string& face, int points, bool bold)
{
    const FontHandle font = ++state().lastHandle;
    state().fonts[font] = FontRecord{face, points, bold};
    return font;
}

ImageHandle loadIconImage(const std::uint8_t* data, std::size_t size)
{
    // An icon directory starts with a reserved 0, the type 1 and at least one image.
    if (data == nullptr || size < 6 || data[0] != 0 || data[1] != 0 || data[2] != 1 ||
        data[3] != 0 || (data[4] == 0 && data[5] == 0))
        return 0;
    const ImageHandle image = ++state().lastHandle;
    state().images.insert(image);
    return image;
}

void releaseImages() { state().images.clear(); }
void releaseFonts() { state().fonts.clear(); }

int openWindow(int number, int x, int y, int width, int height, const std::string& title,
               unsigned flags)
{
    closeWindow(number);
    if (state().refusedWindows.count(number) != 0)
        return 0;
    const WindowRecord record{number, x, y, width, height, title, flags};
    state().windows[number] = LiveWindow{record, ++state().serial};
    state().openedWindows.push_back(record);
    return 1;
}

void closeWindow(int number)
{
    state().dropTargets.erase(number); // a window opened anew accepts files only when asked
    if (state().windows.erase(number) != 0)
        destroyControlsOf(number);
}

void hideWindow(int number)
{
    auto found = state().windows.find(number);
    if (found != state().windows.end())
        found->second.record.hidden = true;
}

void closeAllWindows()
{
    state().dropTargets.clear();
    state().windows.clear();
    state().controls.clear();
}

void setWindowTitle(int number, const std::string& title)
{
    auto found = state().windows.find(number);
    if (found == state().windows.end())
        return;
    found->second.record.title = title;
    state().titlesSet[number].push_back(title);
}

EventKind waitWindowEvent()
{
    ScriptState& script = state();
    for (;;) {
        if (script.steps.empty())
            throw ScriptError("waitWindowEvent: no step queued; the loop waits for more than the "
                              "test scripted");
        const Step step = std::move(script.steps.front());
        script.steps.pop_front();
        switch (step.kind) {
        case Step::Kind::Close:
            return EventKind::Close;
        case Step::Kind::Other:
            return EventKind::Other;
        case Step::Kind::Action:
            step.action();
            continue;
        case Step::Kind::Command:
            script.lastEventCommand = step.value;
            return EventKind::Command;
        case Step::Kind::Drop:
            if (script.dropTargets.count(step.value) == 0 || script.windows.count(step.value) == 0)
                throw ScriptError("scripted drop: window " + std::to_string(step.value) +
                                  " does not accept dropped files");
            script.lastDrop.clear();
            for (std::size_t at = 0, end; (end = step.text.find('\n', at)) != std::string::npos;
                 at = end + 1)
                script.lastDrop.push_back(step.text.substr(at, end - at));
            return EventKind::Drop;
        case Step::Kind::ContextMenu:
            usableControl(step, "context menu");
            script.lastEventControl = step.control;
            return EventKind::ContextMenu;
        case Step::Kind::ControlEvent:
            usableControl(step, "control event");
            break;
        case Step::Kind::SelectRow: {
            ControlRecord& list = usableControl(step, "row selection");
            requireKind(list, holdsRows(list), "row selection");
            // A user can pick another entry of a drop-down but cannot leave it without one.
            const int lowest = list.kind == ControlKind::DropDown ? 0 : -1;
            if (step.value < lowest || step.value >= static_cast<int>(list.rows.size()))
                throw ScriptError("scripted row selection: row " + std::to_string(step.value) +
                                  " is not in " + describeControl(step.control) + " with " +
                                  std::to_string(list.rows.size()) + " rows");
            list.selected = step.value;
            break;
        }
        case Step::Kind::Typing: {
            ControlRecord& field = usableControl(step, "typing");
            requireKind(field, field.kind == ControlKind::Field, "typing");
            field.text = step.text;
            break;
        }
        case Step::Kind::Click: {
            ControlRecord& box = usableControl(step, "click");
            requireKind(box, box.kind == ControlKind::Toggle || box.kind == ControlKind::CheckBox,
                        "click");
            box.state = step.value;
            break;
        }
        }
        script.lastEventControl = step.control;
        return EventKind::Control;
    }
}

int eventControl() { return state().lastEventControl; }
void acceptDroppedFiles(int number) { state().dropTargets.insert(number); }
std::vector<std::string> droppedFiles() { return state().lastDrop; }
int eventCommand() { return state().lastEventCommand; }

int showContextMenu(const std::vector<MenuItem>& items)
{
    ScriptState& script = state();
    script.menus.push_back(MenuRecord{script.lastEventControl, items, 0});
    if (script.menuChoices.empty())
        throw ScriptError("showContextMenu: no choice queued for the menu of " +
                          describeControl(script.lastEventControl));
    const int command = script.menuChoices.front();
    script.menuChoices.pop_front();
    if (command != 0) {
        const auto item = std::find_if(items.begin(), items.end(), [&](const MenuItem& candidate) {
            return candidate.command == command;
        });
        if (item == items.end() || !item->enabled)
            throw ScriptError("showContextMenu: command " + std::to_string(command) +
                              " is not an item that can be chosen");
    }
    script.menus.back().choice = command;
    return command;
}

void keepWindowsPainted() { ++state().paintRequests; }

} // namespace oxlo::platform
