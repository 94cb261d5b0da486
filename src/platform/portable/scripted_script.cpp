// The scripted layer's state, its records and the queues that tests fill.
#include "platform/portable/scripted_state.h"

#include <algorithm>

namespace oxlo::platform::scripted {
namespace {

const char* kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::Link: return "link";
    case ControlKind::Button: return "button";
    case ControlKind::Toggle: return "toggle";
    case ControlKind::CheckBox: return "check box";
    case ControlKind::Field: return "field";
    case ControlKind::Frame: return "frame";
    case ControlKind::ListBox: return "list box";
    case ControlKind::ReportList: return "report list";
    case ControlKind::Image: return "image";
    case ControlKind::DropDown: return "drop-down";
    }
    return "control";
}

void queue(Step step) { state().steps.push_back(std::move(step)); }

} // namespace

ScriptState& state()
{
    static ScriptState script;
    return script;
}

ControlRecord* liveControl(int number)
{
    auto found = state().controls.find(number);
    return found == state().controls.end() ? nullptr : &found->second.record;
}

std::string describeControl(int number)
{
    std::string text = "control " + std::to_string(number);
    if (const ControlRecord* control = liveControl(number))
        text += std::string(" (") + kindName(control->kind) + " \"" + control->text + "\" in window " +
                std::to_string(control->window) + ")";
    return text;
}

void resetScript() { state() = ScriptState{}; }

const WindowRecord* findWindow(int number)
{
    auto found = state().windows.find(number);
    return found == state().windows.end() ? nullptr : &found->second.record;
}

const ControlRecord* findControl(int number) { return liveControl(number); }

std::vector<ControlRecord> liveControls()
{
    std::vector<const LiveControl*> ordered;
    for (const auto& [number, control] : state().controls)
        ordered.push_back(&control);
    std::sort(ordered.begin(), ordered.end(),
              [](const LiveControl* a, const LiveControl* b) { return a->creation < b->creation; });
    std::vector<ControlRecord> records;
    for (const LiveControl* control : ordered)
        records.push_back(control->record);
    return records;
}

const FontRecord* findFont(FontHandle font)
{
    auto found = state().fonts.find(font);
    return found == state().fonts.end() ? nullptr : &found->second;
}

int liveFontCount() { return static_cast<int>(state().fonts.size()); }
int liveImageCount() { return static_cast<int>(state().images.size()); }
std::vector<WindowRecord> openedWindows() { return state().openedWindows; }
std::vector<MessageRecord> shownMessages() { return state().messages; }
std::vector<ChooserRecord> shownChoosers() { return state().choosers; }
std::vector<std::string> openedWebAddresses() { return state().webAddresses; }
std::vector<std::string> openedFolders() { return state().folders; }
std::vector<MenuRecord> shownMenus() { return state().menus; }
std::vector<std::string> titlesSet(int number) { return state().titlesSet[number]; }
int paintRequests() { return state().paintRequests; }

void refuseWindow(int number, bool refuse)
{
    if (refuse)
        state().refusedWindows.insert(number);
    else
        state().refusedWindows.erase(number);
}

void answerNextMessage(int answer) { state().messageAnswers.push_back(answer); }
void answerUnqueuedMessages(MessageResponder responder)
{
    state().messageResponder = std::move(responder);
}
void chooseNextFiles(const std::vector<std::string>& paths)
{
    state().fileChoices.push_back({paths, false});
}
void chooseTooManyFiles() { state().fileChoices.push_back({{}, true}); }
void chooseNextFolder(const std::string& folder) { state().folderChoices.push_back(folder); }
void chooseNextSaveFile(const std::string& path) { state().saveChoices.push_back(path); }
void chooseNextMenuCommand(int command) { state().menuChoices.push_back(command); }

void queueControlEvent(int control) { queue({Step::Kind::ControlEvent, control, 0, {}, {}}); }
void queueClose() { queue({Step::Kind::Close, -1, 0, {}, {}}); }
void queueOtherEvent() { queue({Step::Kind::Other, -1, 0, {}, {}}); }
void queueContextMenu(int control) { queue({Step::Kind::ContextMenu, control, 0, {}, {}}); }
void queueCommand(int command) { queue({Step::Kind::Command, -1, command, {}, {}}); }
void queueDrop(int window, const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths) text += path + "\n";
    queue({Step::Kind::Drop, -1, window, text, {}});
}
void queueSelectRow(int list, int row) { queue({Step::Kind::SelectRow, list, row, {}, {}}); }
void queueTyping(int field, const std::string& text) { queue({Step::Kind::Typing, field, 0, text, {}}); }
void queueClick(int control, int newState) { queue({Step::Kind::Click, control, newState, {}, {}}); }
void queueAction(std::function<void()> action)
{
    queue({Step::Kind::Action, -1, 0, {}, std::move(action)});
}

int pendingSteps() { return static_cast<int>(state().steps.size()); }

} // namespace oxlo::platform::scripted
