#include "catalogue/registry_file.h"

#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <cstdio>

namespace oxlo::catalogue {

namespace {

// Its own file number, so that a caller's open files are never closed by ours.
constexpr int kRegFileNumber = 3;
constexpr const char* kRoot = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr const char* kByteOrderMark = "\xFF\xFE";
// regedit ends a line of hex data after the comma that brings it to at least this many characters.
constexpr std::size_t kHexLineEnd = 77;
constexpr const char* kHexLineBreak = "\\\r\n  ";
constexpr std::size_t kHexIndent = 2;

// Characters as regedit counts them for its line width: UTF-16 units.
std::size_t width(const std::string& text) { return platform::utf16LittleEndian(text).size() / 2; }

std::string quotedText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A REG_SZ that "..." gives back exactly: its text and one NUL, no line break or NUL inside.
bool plainText(const RegistryTreeValue& value)
{
    if (value.type != platform::kRegSz || value.stored || value.bytes.empty() ||
        value.bytes.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < value.bytes.size(); ++i) {
        const unsigned char c = value.bytes[i];
        if (c == 0 || c == '\r' || c == '\n') return false;
    }
    return true;
}

// What the registry holds under Windows: texts in UTF-16, everything else as it is.
std::string storedBytes(const RegistryTreeValue& value)
{
    const std::string bytes(value.bytes.begin(), value.bytes.end());
    return platform::isTextType(value.type) && !value.stored ? platform::utf16LittleEndian(bytes)
                                                             : bytes;
}

// A line break ends a line of the file whatever quotes it stands in: no regedit reads such a name
// back as it was.
bool fitsOneLine(const std::string& name)
{
    return name.find_first_of("\r\n") == std::string::npos;
}

bool namesFitLines(const RegistryTree& tree)
{
    for (const RegistryTreeValue& value : tree.values)
        if (!fitsOneLine(value.name)) return false;
    for (const auto& [name, contents] : tree.subkeys)
        if (!fitsOneLine(name) || !namesFitLines(contents)) return false;
    return true;
}

// `type` ("hex:", "hex(7):") and the bytes, on a line that already holds `lineWidth` characters.
std::string hexData(std::size_t lineWidth, const std::string& type, const std::string& bytes)
{
    std::string text = type;
    lineWidth += type.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
        text += hex;
        if (i + 1 == bytes.size()) break;
        text += ',';
        lineWidth += 3;
        if (lineWidth >= kHexLineEnd) {
            text += kHexLineBreak;
            lineWidth = kHexIndent;
        }
    }
    return text;
}

std::string valueLine(const RegistryTreeValue& value)
{
    const std::string name = (value.name.empty() ? "@" : quotedText(value.name)) + "=";
    if (plainText(value))
        return name + quotedText(std::string(value.bytes.begin(), value.bytes.end() - 1)) + "\r\n";
    if (value.type == platform::kRegDword && value.bytes.size() == 4) {
        char dword[16];
        std::snprintf(dword, sizeof dword, "dword:%02x%02x%02x%02x", value.bytes[3],
                      value.bytes[2], value.bytes[1], value.bytes[0]);
        return name + dword + "\r\n";
    }
    char type[24] = "hex:";
    if (value.type != platform::kRegBinary)
        std::snprintf(type, sizeof type, "hex(%x):", value.type);
    return name + hexData(width(name), type, storedBytes(value)) + "\r\n";
}

void appendKey(std::string& text, const std::string& fileKey, const RegistryTree& tree)
{
    text += "[" + fileKey + "]\r\n";
    for (const RegistryTreeValue& value : tree.values) text += valueLine(value);
    text += "\r\n";
    for (const auto& [name, contents] : tree.subkeys)
        appendKey(text, fileKey + "\\" + name, contents);
}

} // namespace

bool registryFileCanCarry(const std::string& path, const RegistryTree& tree)
{
    return fitsOneLine(path) && namesFitLines(tree);
}

std::string registryFileText(const std::string& path, const RegistryTree& tree)
{
    const std::string fileKey = kRoot + platform::registryImportPath(path);
    std::string text = kHeader + ("[-" + fileKey + "]\r\n\r\n");
    appendKey(text, fileKey, tree);
    return kByteOrderMark + platform::utf16LittleEndian(text);
}

bool saveRegistryKey(const std::string& path, const std::string& file)
{
    const std::optional<RegistryTree> tree = readRegistryTree(kCatalogueRoot, path);
    if (!tree || !registryFileCanCarry(path, *tree) ||
        platform::createFile(kRegFileNumber, file) == 0)
        return false;
    platform::writeString(kRegFileNumber, registryFileText(path, *tree));
    if (platform::closeFile(kRegFileNumber) == 1) return true;
    platform::deleteFile(file); // a copy cut short would not restore the key
    return false;
}

} // namespace oxlo::catalogue
