// The program's four registry operations over the primitives of registry_store.h. Each call owns
// the keys it opens for its own duration only.
#include "platform/registry.h"

#include "platform/services.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace oxlo::platform {

namespace {

// A text has at most 254 characters, each at most 4 bytes of UTF-8, and its NUL.
constexpr unsigned kFirstQuerySize = kMaxTextCharacters * 4 + 1;

std::string withoutLeadingBackslash(const std::string& path)
{
    return !path.empty() && path.front() == '\\' ? path.substr(1) : path;
}

// The key that paths are relative to: the root itself, or the root on another computer. A failed
// connection gives 0, which every later call refuses.
RegistryHandle baseKey(RegistryHandle root, const std::string& computer, OwnedRegistryKey& connection)
{
    if (computer.empty()) {
        return root;
    }
    registryConnect(computer, root, connection.receive());
    return connection.get();
}

std::int32_t littleEndian32(const unsigned char bytes[4])
{
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

// The value `valueName` of the open `key` as text, as readRegistryValue gives it.
std::string valueText(RegistryHandle key, const std::string& valueName)
{
    char data[kFirstQuerySize]; // only the bytes the query gives are looked at
    unsigned type = kRegNone;
    unsigned size = kFirstQuerySize;
    if (registryQueryValue(key, valueName, &type, data, &size) != kRegistryOk) {
        return ""; // missing, or longer than any text may be
    }
    // The first query read the whole value: nothing is read twice, each read costs a round trip
    // to the registry (a big share of listing a collection under Wine).
    return registryValueText(type, std::string_view(data, std::min(size, kFirstQuerySize)));
}

} // namespace

std::string registryValueText(unsigned type, std::string_view data)
{
    if (data.size() > kFirstQuerySize) {
        return "";
    }
    switch (type) {
    case kRegSz: {
        // The characters before the terminating NUL; a value stored without one keeps its last
        // character, unless that makes it longer than the 254 characters a text may have.
        const std::string text(data.substr(0, data.find('\0')));
        return characterCount(text) <= kMaxTextCharacters ? text : std::string();
    }
    case kRegDword:
    case kRegBinary: {
        // Only 2- and 4-byte numbers belong in the catalogue; anything longer is not one.
        if (data.size() > 4) {
            return "0";
        }
        unsigned char number[4] = {0, 0, 0, 0};
        std::copy(data.begin(), data.end(), number);
        return textFromNumber(littleEndian32(number));
    }
    default:
        return "";
    }
}

std::size_t characterCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

int createRegistryKey(RegistryHandle root, const std::string& path, const std::string& computer)
{
    OwnedRegistryKey connection;
    const RegistryHandle base = baseKey(root, computer, connection);
    if (base == 0) {
        return 0;
    }
    OwnedRegistryKey key;
    return registryCreateKey(base, withoutLeadingBackslash(path), key.receive()) == kRegistryOk
               ? 1
               : 0;
}

int deleteRegistryTree(RegistryHandle root, const std::string& path)
{
    if (path.empty()) {
        return 0; // never the root itself
    }
    OwnedRegistryKey key;
    if (registryOpenKey(root, path, RegistryAccess::DeleteEnumerate, key.receive()) !=
        kRegistryOk) {
        return 0;
    }
    // Subkeys are deleted from the front, so the next one moves up to the same index. A subkey
    // that cannot be deleted stays in place; the index then moves past it, so that it is taken up
    // once only and the loop always ends.
    unsigned index = 0;
    long status = kRegistryOk;
    while (true) {
        char name[kKeyNameRoom];
        unsigned length = kKeyNameRoom;
        status = registryEnumKey(key.get(), index, name, &length);
        if (status == kRegistryNoMoreItems) {
            status = index == 0 ? registryDeleteKey(root, path) : kRegistryAccessDenied;
            break;
        }
        if (status != kRegistryOk) {
            break;
        }
        if (deleteRegistryTree(key.get(), std::string(name, length)) == 0) {
            ++index;
        }
    }
    return status == kRegistryOk ? 1 : 0;
}

std::string readRegistryValue(RegistryHandle root, const std::string& path,
                              const std::string& valueName, const std::string& computer)
{
    OwnedRegistryKey connection;
    const RegistryHandle base = baseKey(root, computer, connection);
    OwnedRegistryKey key;
    if (base == 0 || registryOpenKey(base, withoutLeadingBackslash(path), RegistryAccess::Full,
                                     key.receive()) != kRegistryOk) {
        return "";
    }
    return valueText(key.get(), valueName);
}

std::vector<std::string> readRegistryValues(RegistryHandle root, const std::string& path,
                                            const std::vector<std::string>& valueNames)
{
    std::vector<std::string> texts(valueNames.size());
    OwnedRegistryKey opened;
    const std::string subkey = withoutLeadingBackslash(path);
    if (!subkey.empty() &&
        registryOpenKey(root, subkey, RegistryAccess::Read, opened.receive()) != kRegistryOk) {
        return texts;
    }
    const RegistryHandle key = subkey.empty() ? root : opened.get();
    for (std::size_t i = 0; i < valueNames.size(); ++i) {
        texts[i] = valueText(key, valueNames[i]);
    }
    return texts;
}

int writeRegistryValue(RegistryHandle root, const std::string& path, const std::string& valueName,
                       const std::string& data, int typeCode, const std::string& computer)
{
    OwnedRegistryKey connection;
    const RegistryHandle base = baseKey(root, computer, connection);
    OwnedRegistryKey key;
    if (base == 0 || registryOpenKey(base, withoutLeadingBackslash(path), RegistryAccess::Full,
                                     key.receive()) != kRegistryOk) {
        showMessage("Fehler", "Ein Fehler ist aufgetreten", kMessagePlain);
        return 0;
    }
    switch (typeCode) {
    case kValueBinary: {
        const auto number = static_cast<std::uint32_t>(numberFromText(data));
        const unsigned char bytes[2] = {static_cast<unsigned char>(number & 0xFF),
                                        static_cast<unsigned char>((number >> 8) & 0xFF)};
        return registrySetValue(key.get(), valueName, kRegBinary, bytes, 2) == kRegistryOk ? 1 : 0;
    }
    case kValueText:
        return registrySetValue(key.get(), valueName, kRegSz, data.c_str(),
                                static_cast<unsigned>(data.size() + 1)) == kRegistryOk
                   ? 1
                   : 0;
    case kValueDword: {
        const auto number = static_cast<std::uint32_t>(numberFromText(data));
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(number & 0xFF), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
        return registrySetValue(key.get(), valueName, kRegDword, bytes, 4) == kRegistryOk ? 1 : 0;
    }
    default:
        return 1; // no registry type: nothing is written
    }
}

std::string registryImportPath(const std::string& path)
{
    const std::string software = "SOFTWARE\\";
    if (!registryHasSeparate32BitView() ||
        !sameTextIgnoringCase(path.substr(0, software.size()), software))
        return path;
    return path.substr(0, software.size()) + "WOW6432Node\\" + path.substr(software.size());
}

} // namespace oxlo::platform
