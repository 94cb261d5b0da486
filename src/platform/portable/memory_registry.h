// Test control of the in-memory registry that stands behind registry_store.h in the portable
// build. The registry behaves as the Win32 one does for the calls Oxlo makes: key names compare
// without regard to letter case, values keep their type and exact bytes, subkeys enumerate in the
// order of their upper-cased names (not of creation), only keys without subkeys can be deleted,
// and a handle to a deleted key fails every further call with kRegistryKeyDeleted.
// This header is for tests only; the product never includes it.
#pragma once

#include "platform/registry_store.h"

#include <string>

namespace oxlo::platform::memory_registry {

inline constexpr long kRegistryKeyDeleted = 1018; // ERROR_KEY_DELETED
inline constexpr long kRegistryBadNetPath = 53;   // ERROR_BAD_NETPATH

// Forgets every key, value, computer and open handle.
void reset();

// A key that exists refuses (kRegistryAccessDenied) to be deleted while `undeletable` is true, as a
// key whose security forbids deletion would. False when the key does not exist.
bool setUndeletable(RegistryHandle root, const std::string& path, bool undeletable);

// registryConnect with this name succeeds from now on and gives that computer's own registry,
// separate from the local one. Any other non-empty name fails with kRegistryBadNetPath.
void addRemoteComputer(const std::string& computer);

// Whether registryHasSeparate32BitView gives true (as on 64-bit Windows, the default) or false
// (as on 32-bit Windows).
void setSeparate32BitView(bool separate);

// Handles returned by the registry and not yet closed (to catch leaked handles).
int openHandleCount();

} // namespace oxlo::platform::memory_registry
