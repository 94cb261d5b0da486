// Fault injection for operations that change the registry or files (portable platform only).
//
// runFailingEachCall runs an operation once with every call passing, to count its registry and
// file calls, and then once per counted call with that call failing. Before each run `prepare`
// lays the starting state afresh; after each run `check` looks at the outcome with every call
// passing again. Message boxes that the test did not queue are answered by `answers` (Yes to a
// question, OK otherwise), since a failure may change which boxes come.
#pragma once

#include "platform/portable/scripted_ui.h"

#include <functional>
#include <string>
#include <vector>

namespace oxlo::testing {

struct FaultRun {
    int failingCall = 0;   // 0 for the run in which every call passed
    bool injected = false; // the failing call was reached
    std::vector<platform::scripted::MessageRecord> messages; // shown during the run
};

struct FaultRunTotals {
    int calls = 0; // calls counted in the passing run
    int runs = 0;  // runs with a failure injected and reached
};

int answerYesOrOk(const platform::scripted::MessageRecord& message);

FaultRunTotals runFailingEachCall(const std::function<void()>& prepare,
                                  const std::function<void()>& operation,
                                  const std::function<void(const FaultRun&)>& check,
                                  const platform::scripted::MessageResponder& answers =
                                      answerYesOrOk);

// True when the box is the list's own warning that the registry could not be read whole: it
// tells of the list refreshed after the operation, not of the operation.
bool isListWarning(const platform::scripted::MessageRecord& message);
// True when a box of the run other than the list's warning is a warning: the operation failed.
bool warnedOfFailure(const FaultRun& run);
// True when a message of the run has exactly this text.
bool wasShown(const FaultRun& run, const std::string& text);
// The sum of injected runs over every fault-injection test of this program, printed at its end.
void countInjectedRuns(const std::string& operation, int runs);

} // namespace oxlo::testing
