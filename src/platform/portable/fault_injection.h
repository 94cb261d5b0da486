// Test control of injected failures in the portable platform. Every registry primitive of the
// in-memory registry and every file and folder primitive of the POSIX files counts as one call
// (closing a handle does not count). While a failing call number is set, that call fails as the
// system would fail it: a registry call with kRegistryAccessDenied, a file call with its failure
// result (no file, nothing read or written, false, 0). Only that one call fails; the ones after
// it succeed again, as after a passing fault on a real machine.
// This header is for tests only; the product never includes it.
#pragma once

namespace oxlo::platform::fault_injection {

// Counts calls from 0 again; call number `failing` (1-based) will fail, 0 lets every call pass.
void failCall(int failing);
// The calls counted since the last failCall.
int countedCalls();
// True once the chosen call has failed.
bool failureInjected();

// For the primitives: counts this call and tells whether it is the one to fail.
bool shouldFail();

// While set, the drives have no Recycle Bin, as on some network and removable drives: Windows
// then deletes for good what it is asked to recycle, silently when the caller asked for no
// questions (moveToRecycleBin), else after asking, which the scripted user answers with No.
void setRecycleBinUnavailable(bool unavailable);
bool recycleBinUnavailable();

} // namespace oxlo::platform::fault_injection
