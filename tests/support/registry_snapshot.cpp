#include "support/registry_snapshot.h"

#include "platform/services.h"

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;

KeyValues valuesOf(const std::string& path)
{
    KeyValues values;
    for (const std::string& name : valueNames(path))
        if (auto value = rawValue(path, name)) values.emplace(name, std::move(*value));
    return values;
}

void addTree(const std::string& path, RegistrySnapshot& into)
{
    into.emplace(path, valuesOf(path));
    for (const std::string& child : subkeyNames(path)) addTree(path + "\\" + child, into);
}

// `path` names `key` itself or one of its ancestors.
bool isAtOrBelow(const std::string& key, const std::string& path)
{
    if (key.size() < path.size()) return false;
    if (!sameTextIgnoringCase(key.substr(0, path.size()), path)) return false;
    return key.size() == path.size() || key[path.size()] == '\\';
}

std::string hexOf(const std::vector<unsigned char>& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string shown(const RawValue& value)
{
    return "type " + std::to_string(value.type) + " bytes " + hexOf(value.bytes);
}

} // namespace

RegistrySnapshot takeRegistrySnapshot(const std::string& path)
{
    RegistrySnapshot state;
    if (keyExists(path)) addTree(path, state);
    return state;
}

RegistrySnapshot keysBelow(const RegistrySnapshot& state, const std::string& path)
{
    RegistrySnapshot part;
    for (const auto& [key, values] : state)
        if (isAtOrBelow(key, path)) part.emplace(key, values);
    return part;
}

std::vector<std::string> registryDifferences(const RegistrySnapshot& before,
                                             const RegistrySnapshot& after)
{
    std::vector<std::string> lines;
    for (const auto& [key, values] : before) {
        const auto now = after.find(key);
        if (now == after.end()) {
            lines.push_back("key gone: " + key);
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto other = now->second.find(name);
            if (other == now->second.end())
                lines.push_back("value gone: " + key + " \"" + name + "\"");
            else if (!(other->second == value))
                lines.push_back("value changed: " + key + " \"" + name + "\" " + shown(value) +
                                " -> " + shown(other->second));
        }
        for (const auto& [name, value] : now->second)
            if (!values.contains(name))
                lines.push_back("value added: " + key + " \"" + name + "\" " + shown(value));
    }
    for (const auto& [key, values] : after)
        if (!before.contains(key)) lines.push_back("key added: " + key);
    return lines;
}

} // namespace oxlo::testing
