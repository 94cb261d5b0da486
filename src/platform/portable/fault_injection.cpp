#include "platform/portable/fault_injection.h"

namespace oxlo::platform::fault_injection {
namespace {
int failingCall = 0;
int counted = 0;
bool injected = false;
bool noRecycleBin = false;
} // namespace

void setRecycleBinUnavailable(bool unavailable) { noRecycleBin = unavailable; }

bool recycleBinUnavailable() { return noRecycleBin; }

void failCall(int failing)
{
    failingCall = failing;
    counted = 0;
    injected = false;
}

int countedCalls() { return counted; }

bool failureInjected() { return injected; }

bool shouldFail()
{
    ++counted;
    if (failingCall == 0 || counted != failingCall)
        return false;
    injected = true;
    return true;
}

} // namespace oxlo::platform::fault_injection
