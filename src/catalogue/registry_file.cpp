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
// regedit takes hex lines continued with a backslash; they are wrapped near this width.
constexpr std::size_t kLineWidth = 76;

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
    if (value.type != platform::kRegSz || value.bytes.empty() || value.bytes.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < value.bytes.size(); ++i) {
        const unsigned char c = value.bytes[i];
        if (c == 0 || c == '\r' || c == '\n') return false;
    }
    return true;
}

std::string hexBytes(const std::string& prefix, const std::vector<unsigned char>& bytes)
{
    std::string text = prefix;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        text += hex;
        if (i + 1 == bytes.size()) break;
        text += ',';
        if (text.size() - lineStart > kLineWidth) {
            text += "\\\r\n  ";
            lineStart = text.size() - 2;
        }
    }
    return text;
}

std::string valueData(const RegistryTreeValue& value)
{
    if (plainText(value))
        return quotedText(std::string(value.bytes.begin(), value.bytes.end() - 1));
    if (value.type == platform::kRegDword && value.bytes.size() == 4) {
        char dword[16];
        std::snprintf(dword, sizeof dword, "dword:%02x%02x%02x%02x", value.bytes[3],
                      value.bytes[2], value.bytes[1], value.bytes[0]);
        return dword;
    }
    if (value.type == platform::kRegBinary) return hexBytes("hex:", value.bytes);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return hexBytes(prefix, value.bytes);
}

std::string valueLine(const RegistryTreeValue& value)
{
    const std::string name = value.name.empty() ? "@" : quotedText(value.name);
    return name + "=" + valueData(value) + "\r\n";
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

std::string registryFileText(const std::string& path, const RegistryTree& tree)
{
    const std::string fileKey = kRoot + platform::registryImportPath(path);
    std::string text = "REGEDIT4\r\n\r\n[-" + fileKey + "]\r\n\r\n";
    appendKey(text, fileKey, tree);
    return text;
}

bool saveRegistryKey(const std::string& path, const std::string& file)
{
    const std::optional<RegistryTree> tree = readRegistryTree(kCatalogueRoot, path);
    if (!tree || platform::createFile(kRegFileNumber, file) == 0) return false;
    platform::writeString(kRegFileNumber, registryFileText(path, *tree));
    if (platform::closeFile(kRegFileNumber) == 1) return true;
    platform::deleteFile(file); // a copy cut short would not restore the key
    return false;
}

} // namespace oxlo::catalogue
