// The state shared by the files of the scripted window layer and dialogs (scripted_*.cpp).
#pragma once

#include "platform/portable/scripted_ui.h"

#include <deque>
#include <map>
#include <set>

namespace oxlo::platform::scripted {

struct Step {
    enum class Kind { ControlEvent, Close, Other, SelectRow, Typing, Click, Action, ContextMenu, Command,
                      Drop };
    Kind kind = Kind::Other;
    int control = -1;
    int value = 0;
    std::string text; // Drop: the paths, each ended by a line feed
    std::function<void()> action;

};

struct LiveWindow {
    WindowRecord record;
    long opening = 0; // serial of its opening: the highest one receives new controls
};

struct LiveControl {
    ControlRecord record;
    long creation = 0; // serial of its creation, for liveControls()
};

struct ScriptState {
    std::map<int, LiveWindow> windows;
    std::map<int, LiveControl> controls;
    std::map<FontHandle, FontRecord> fonts;
    std::set<ImageHandle> images;
    std::set<int> refusedWindows;
    long serial = 0;
    int lastHandle = 0; // fonts and images share one numbering

    std::deque<Step> steps;
    int lastEventControl = -1;
    int lastEventCommand = 0;
    std::vector<std::string> lastDrop;
    std::set<int> dropTargets; // windows that accept dropped files

    std::deque<int> messageAnswers;
    MessageResponder messageResponder; // answers when the queue is empty
    // Queued file choices; an entry with tooMany stands for a choice that did not fit.
    struct FileChoice {
        std::vector<std::string> paths;
        bool tooMany = false;
    };
    std::deque<FileChoice> fileChoices;
    std::deque<std::string> folderChoices;
    std::deque<std::string> saveChoices;
    std::deque<int> menuChoices;
    std::deque<std::string> selection; // the rest of the last multiple file choice
    bool choiceDidNotFit = false;       // the last file choice was one of chooseTooManyFiles

    std::vector<WindowRecord> openedWindows;
    std::vector<MessageRecord> messages;
    std::vector<ChooserRecord> choosers;
    std::vector<std::string> webAddresses;
    std::vector<std::string> folders;
    std::vector<MenuRecord> menus;
    std::map<int, std::vector<std::string>> titlesSet;
    int paintRequests = 0;
};

ScriptState& state();

// The live control of that number, or nullptr.
ControlRecord* liveControl(int number);

// Controls whose content is rows with one of them selected: list boxes, report lists and
// drop-downs.
inline bool holdsRows(const ControlRecord& control)
{
    return control.kind == ControlKind::ListBox || control.kind == ControlKind::ReportList ||
           control.kind == ControlKind::DropDown;
}

// "control 5 (button "&Quit")" for messages that must say which control a step aimed at.
std::string describeControl(int number);

} // namespace oxlo::platform::scripted
