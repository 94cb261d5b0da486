#include "support/fault_runs.h"

#include "catalogue/installed_mapsets.h"
#include "platform/portable/fault_injection.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace oxlo::testing {

namespace fi = platform::fault_injection;
namespace scripted = platform::scripted;

namespace {

// Every call passes again on every way out of a run, also when the check fails or throws.
struct InjectionOff {
    ~InjectionOff() { fi::failCall(0); }
};

FaultRun runOnce(int failingCall, const std::function<void()>& prepare,
                 const std::function<void()>& operation,
                 const scripted::MessageResponder& answers, int* counted)
{
    InjectionOff off;
    fi::failCall(0);
    scripted::resetScript();
    prepare();
    scripted::answerUnqueuedMessages(answers);
    const std::size_t shownBefore = scripted::shownMessages().size();
    fi::failCall(failingCall);
    operation();
    FaultRun run;
    run.failingCall = failingCall;
    run.injected = fi::failureInjected();
    if (counted != nullptr) *counted = fi::countedCalls();
    fi::failCall(0);
    const auto messages = scripted::shownMessages();
    run.messages.assign(messages.begin() + static_cast<std::ptrdiff_t>(shownBefore),
                        messages.end());
    return run;
}

struct Tally {
    std::map<std::string, int> runs;
    ~Tally()
    {
        int total = 0;
        for (const auto& [operation, count] : runs) {
            std::printf("fault injection: %s: %d runs\n", operation.c_str(), count);
            total += count;
        }
        if (total != 0) std::printf("fault injection: %d injected runs in all\n", total);
    }
};

Tally& tally()
{
    static Tally instance;
    return instance;
}

} // namespace

int answerYesOrOk(const scripted::MessageRecord& message)
{
    return (message.flags & 0x0F) == 0x04 ? platform::kAnswerYes : platform::kAnswerOk;
}

FaultRunTotals runFailingEachCall(const std::function<void()>& prepare,
                                  const std::function<void()>& operation,
                                  const std::function<void(const FaultRun&)>& check,
                                  const scripted::MessageResponder& answers)
{
    FaultRunTotals totals;
    {
        SCOPED_TRACE("every call passing");
        const FaultRun clean = runOnce(0, prepare, operation, answers, &totals.calls);
        check(clean);
    }
    for (int failing = 1; failing <= totals.calls; ++failing) {
        SCOPED_TRACE("call " + std::to_string(failing) + " of " + std::to_string(totals.calls) +
                     " failing");
        const FaultRun run = runOnce(failing, prepare, operation, answers, nullptr);
        if (run.injected) ++totals.runs;
        std::string shown = "messages:";
        for (const auto& message : run.messages) shown += "\n  \"" + message.text + "\"";
        SCOPED_TRACE(shown);
        check(run);
        if (::testing::Test::HasFatalFailure()) break;
    }
    return totals;
}

bool isListWarning(const scripted::MessageRecord& message)
{
    return message.text == catalogue::kListNotWholeText;
}

bool warnedOfFailure(const FaultRun& run)
{
    for (const auto& message : run.messages)
        if (message.flags == platform::kMessageWarning && !isListWarning(message)) return true;
    return false;
}

bool wasShown(const FaultRun& run, const std::string& text)
{
    for (const auto& message : run.messages)
        if (message.text == text) return true;
    return false;
}

void countInjectedRuns(const std::string& operation, int runs) { tally().runs[operation] += runs; }

} // namespace oxlo::testing
