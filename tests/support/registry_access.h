// Direct registry access for the tests, on the primitives of registry_store.h only, so that the
// operations under test are never used to set up or check their own results. Natively this meets
// the in-memory registry; under Wine the real one (32-bit view).
#pragma once

#include "platform/registry_store.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::testing {

// MapSource's keys below HKLM, spelled as MapSource spells them.
inline constexpr const char* kMapsource = "SOFTWARE\\Garmin\\Mapsource";
inline constexpr const char* kMapsourceFamilies = "SOFTWARE\\Garmin\\Mapsource\\Families";
inline constexpr const char* kMapsourceProducts = "SOFTWARE\\Garmin\\Mapsource\\Products";

struct RawValue {
    unsigned type = 0;
    std::vector<unsigned char> bytes;
    friend bool operator==(const RawValue&, const RawValue&) = default;
};

// Removes HKLM\SOFTWARE\Garmin\Mapsource and everything below it; fails the test if it stays.
void cleanMapsource();

// Creates the key (and its parents) below HKLM.
void putKey(const std::string& path);
void putValue(const std::string& path, const std::string& name, unsigned type,
              const std::vector<unsigned char>& bytes);
void putText(const std::string& path, const std::string& name, const std::string& text);

// A value set and read as the registry keeps it (texts in UTF-16LE), nothing converted or added;
// storedValue gives "TYPE:" and the bytes.
void putStoredValue(const std::string& path, const std::string& name, unsigned type,
                    const std::string& bytes);
std::optional<std::string> storedValue(const std::string& path, const std::string& name);

bool keyExists(const std::string& path);
std::optional<RawValue> rawValue(const std::string& path, const std::string& name);
std::optional<std::string> textValue(const std::string& path, const std::string& name);
std::vector<std::string> subkeyNames(const std::string& path);
// Value names of a key, sorted.
std::vector<std::string> valueNames(const std::string& path);

std::vector<unsigned char> textBytes(const std::string& text); // with its NUL

} // namespace oxlo::testing
