// The scripted dialogs of services.h: each records what it showed and answers from its queue.
#include "platform/portable/scripted_state.h"
#include "platform/services.h"
#include "platform/system_primitives.h"

namespace oxlo::platform {
using namespace scripted;

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Whether a user could press the button `answer` in a message box with these flags.
bool answerOffered(int flags, int answer)
{
    switch (flags & 0x0F) {
    case 0x00: return answer == kAnswerOk;
    case 0x04: return answer == kAnswerYes || answer == kAnswerNo;
    default: return true; // button sets the program does not use are not checked
    }
}

} // namespace

int showMessage(const std::string& title, const std::string& text, int flags)
{
    if (int routed = 0; raw::routedMessage(title, text, flags, routed)) return routed;
    ScriptState& script = state();
    script.messages.push_back(MessageRecord{title, text, flags, 0});
    const std::string what = "message box " + quoted(title) + " " + quoted(text);
    int answer = 0;
    if (!script.messageAnswers.empty()) {
        answer = script.messageAnswers.front();
        script.messageAnswers.pop_front();
    } else if (script.messageResponder) {
        answer = script.messageResponder(script.messages.back());
    } else {
        throw ScriptError("showMessage: no answer queued for " + what);
    }
    if (!answerOffered(flags, answer))
        throw ScriptError("showMessage: answer " + std::to_string(answer) + " is not a button of " +
                          what + " with flags " + std::to_string(flags));
    script.messages.back().answer = answer;
    return answer;
}

std::string chooseOpenFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition, int multiple)
{
    ScriptState& script = state();
    script.choosers.push_back(
        ChooserRecord{false, title, defaultFile, pattern, patternPosition, multiple});
    script.selection.clear();
    if (script.fileChoices.empty())
        throw ScriptError("chooseOpenFile: no choice queued for the file dialog " + quoted(title));
    ScriptState::FileChoice choice = std::move(script.fileChoices.front());
    script.fileChoices.pop_front();
    script.choiceDidNotFit = choice.tooMany;
    if (choice.tooMany && multiple != 1)
        throw ScriptError("chooseOpenFile: too many files queued for the single-choice dialog " +
                          quoted(title));
    std::vector<std::string> paths = std::move(choice.paths);
    if (paths.size() > 1 && multiple != 1)
        throw ScriptError("chooseOpenFile: " + std::to_string(paths.size()) +
                          " files queued for the single-choice dialog " + quoted(title));
    if (paths.empty())
        return {};
    script.selection.assign(paths.begin() + 1, paths.end());
    return paths.front();
}

std::string nextSelectedFile()
{
    ScriptState& script = state();
    if (script.selection.empty())
        return {};
    std::string next = std::move(script.selection.front());
    script.selection.pop_front();
    return next;
}

bool chosenFilesDidNotFit() { return state().choiceDidNotFit; }

std::string choosePath(const std::string& title, const std::string& initialFolder)
{
    ScriptState& script = state();
    script.choosers.push_back(ChooserRecord{true, title, initialFolder, {}, 0, 0});
    if (script.folderChoices.empty())
        throw ScriptError("choosePath: no folder queued for the folder dialog " + quoted(title));
    std::string folder = std::move(script.folderChoices.front());
    script.folderChoices.pop_front();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string chooseSaveFile(const std::string& title, const std::string& defaultFile,
                           const std::string& pattern, int patternPosition)
{
    ScriptState& script = state();
    ChooserRecord record{false, title, defaultFile, pattern, patternPosition, 0};
    record.save = true;
    script.choosers.push_back(record);
    if (script.saveChoices.empty())
        throw ScriptError("chooseSaveFile: no choice queued for the save dialog " + quoted(title));
    std::string path = std::move(script.saveChoices.front());
    script.saveChoices.pop_front();
    return path;
}

void openWebAddress(const std::string& address) { state().webAddresses.push_back(address); }

void openFolderWindow(const std::string& folder) { state().folders.push_back(folder); }

} // namespace oxlo::platform
