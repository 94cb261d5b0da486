#include "support/registry_access.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;

// Depth first: a key goes only once it has no subkeys.
void removeTree(const std::string& path)
{
    for (const std::string& child : subkeyNames(path)) removeTree(path + "\\" + child);
    registryDeleteKey(kLocalMachine, path);
}

} // namespace

void cleanMapsource()
{
    removeTree(kMapsource);
    ASSERT_FALSE(keyExists(kMapsource)) << "could not clean HKLM\\" << kMapsource;
}

void putKey(const std::string& path)
{
    RegistryHandle key = 0;
    ASSERT_EQ(registryCreateKey(kLocalMachine, path, &key), kRegistryOk) << path;
    registryCloseKey(key);
}

void putValue(const std::string& path, const std::string& name, unsigned type,
              const std::vector<unsigned char>& bytes)
{
    RegistryHandle key = 0;
    ASSERT_EQ(registryCreateKey(kLocalMachine, path, &key), kRegistryOk) << path;
    EXPECT_EQ(registrySetValue(key, name, type, bytes.data(), static_cast<unsigned>(bytes.size())),
              kRegistryOk)
        << path << " " << name;
    registryCloseKey(key);
}

void putText(const std::string& path, const std::string& name, const std::string& text)
{
    putValue(path, name, kRegSz, textBytes(text));
}

bool keyExists(const std::string& path)
{
    RegistryHandle key = 0;
    if (registryOpenKey(kLocalMachine, path, RegistryAccess::Read, &key) != kRegistryOk) {
        return false;
    }
    registryCloseKey(key);
    return true;
}

std::optional<RawValue> rawValue(const std::string& path, const std::string& name)
{
    OwnedRegistryKey key;
    if (registryOpenKey(kLocalMachine, path, RegistryAccess::Read, key.receive()) != kRegistryOk)
        return std::nullopt;
    RawValue value;
    unsigned size = 0;
    if (registryQueryValue(key.get(), name, &value.type, nullptr, &size) != kRegistryOk)
        return std::nullopt;
    value.bytes.resize(size);
    if (registryQueryValue(key.get(), name, &value.type, value.bytes.data(), &size) != kRegistryOk)
        return std::nullopt;
    value.bytes.resize(size);
    return value;
}

std::optional<std::string> textValue(const std::string& path, const std::string& name)
{
    auto value = rawValue(path, name);
    if (!value || value->type != kRegSz) {
        return std::nullopt;
    }
    std::string text(value->bytes.begin(), value->bytes.end());
    if (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

std::vector<std::string> subkeyNames(const std::string& path)
{
    std::vector<std::string> names;
    RegistryHandle key = 0;
    if (registryOpenKey(kLocalMachine, path, RegistryAccess::Read, &key) != kRegistryOk) {
        return names;
    }
    for (unsigned i = 0;; ++i) {
        char buffer[kKeyNameRoom];
        unsigned length = sizeof buffer;
        if (registryEnumKey(key, i, buffer, &length) != kRegistryOk) {
            break;
        }
        names.emplace_back(buffer, length);
    }
    registryCloseKey(key);
    return names;
}

void putStoredValue(const std::string& path, const std::string& name, unsigned type,
                    const std::string& bytes)
{
    RegistryHandle key = 0;
    ASSERT_EQ(registryCreateKey(kLocalMachine, path, &key), kRegistryOk) << path;
    EXPECT_EQ(registrySetStoredValue(key, name, type, bytes), kRegistryOk) << path << " " << name;
    registryCloseKey(key);
}

std::optional<std::string> storedValue(const std::string& path, const std::string& name)
{
    OwnedRegistryKey key;
    if (registryOpenKey(kLocalMachine, path, RegistryAccess::Read, key.receive()) != kRegistryOk)
        return std::nullopt;
    unsigned type = 0;
    std::string bytes;
    if (registryQueryStoredValue(key.get(), name, &type, &bytes) != kRegistryOk)
        return std::nullopt;
    return std::to_string(type) + ":" + bytes;
}

std::vector<std::string> valueNames(const std::string& path)
{
    std::vector<std::string> names;
    OwnedRegistryKey key;
    if (registryOpenKey(kLocalMachine, path, RegistryAccess::Read, key.receive()) != kRegistryOk)
        return names;
    for (unsigned index = 0;; ++index) {
        char name[16384];
        unsigned length = sizeof name;
        if (registryEnumValue(key.get(), index, name, &length) != kRegistryOk) break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<unsigned char> textBytes(const std::string& text)
{
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace oxlo::testing
