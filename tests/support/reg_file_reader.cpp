#include "support/reg_file_reader.h"

#include "platform/services.h"

#include <cstdint>
#include <vector>

namespace oxlo::testing {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kWowNode = "SOFTWARE\\WOW6432Node\\";

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16LE units to UTF-8; a lone surrogate keeps its own three-byte form.
std::string utf8FromUtf16(const std::string& bytes)
{
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                                   static_cast<unsigned char>(bytes[i + 1]) << 8));
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// The file's lines, continuations joined.
std::vector<std::string> logicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string pending;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 2;
        if (!pending.empty()) line.erase(0, line.find_first_not_of(' '));
        pending += line;
        if (!pending.empty() && pending.back() == '\\' && pending.find('=') != std::string::npos &&
            pending.find("=\"") == std::string::npos) {
            pending.pop_back();
            continue;
        }
        lines.push_back(pending);
        pending.clear();
    }
    if (!pending.empty()) lines.push_back(pending);
    return lines;
}

// The key path below HKLM as the program names it; empty when the file names another place.
std::string programPath(const std::string& fileKey)
{
    if (fileKey.rfind(kLocalMachine, 0) != 0) return {};
    std::string path = fileKey.substr(std::string(kLocalMachine).size());
    const std::string wow = kWowNode;
    if (path.size() >= wow.size() && oxlo::platform::sameTextIgnoringCase(path.substr(0, wow.size()), wow))
        path = "SOFTWARE\\" + path.substr(wow.size());
    return path;
}

// A quoted text from `at` (just after the opening quote): its text, `at` past the closing quote.
bool readQuoted(const std::string& line, std::size_t& at, std::string& text)
{
    for (; at < line.size(); ++at) {
        if (line[at] == '"') {
            ++at;
            return true;
        }
        if (line[at] == '\\' && at + 1 < line.size()) ++at;
        text += line[at];
    }
    return false;
}

bool readHexBytes(const std::string& text, std::vector<unsigned char>& bytes)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ',' || text[at] == ' ') {
            ++at;
            continue;
        }
        if (at + 2 > text.size()) return false;
        try {
            bytes.push_back(static_cast<unsigned char>(std::stoul(text.substr(at, 2), nullptr, 16)));
        } catch (const std::exception&) {
            return false;
        }
        at += 2;
    }
    return true;
}

bool isTextType(unsigned type) { return type == 1 || type == 2 || type == 7; }

// The data after "=": its type and bytes as the registry keeps them (texts in UTF-8).
bool readData(const std::string& data, RawValue& value)
{
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
        std::size_t at = 1;
        std::string text;
        if (!readQuoted(data, at, text) || at != data.size()) return false;
        value.type = 1;
        value.bytes.assign(text.begin(), text.end());
        value.bytes.push_back(0);
        return true;
    }
    if (data.rfind("dword:", 0) == 0 && data.size() == 14) {
        const auto number = std::stoul(data.substr(6), nullptr, 16);
        value.type = 4;
        value.bytes = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                       static_cast<unsigned char>(number >> 16),
                       static_cast<unsigned char>(number >> 24)};
        return true;
    }
    std::size_t colon = data.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = data.substr(0, colon);
    if (kind == "hex") {
        value.type = 3;
    } else if (kind.rfind("hex(", 0) == 0 && kind.back() == ')') {
        value.type = static_cast<unsigned>(std::stoul(kind.substr(4, kind.size() - 5), nullptr, 16));
    } else {
        return false;
    }
    if (!readHexBytes(data.substr(colon + 1), value.bytes)) return false;
    if (isTextType(value.type)) {
        const std::string text = utf8FromUtf16(std::string(value.bytes.begin(), value.bytes.end()));
        value.bytes.assign(text.begin(), text.end());
    }
    return true;
}

bool applyValueLine(const std::string& line, KeyValues& values)
{
    std::size_t at = 0;
    std::string name;
    if (line[0] == '@') {
        at = 1;
    } else if (line[0] == '"') {
        at = 1;
        if (!readQuoted(line, at, name)) return false;
    } else {
        return false;
    }
    if (at >= line.size() || line[at] != '=') return false;
    const std::string data = line.substr(at + 1);
    if (data == "-") {
        values.erase(name);
        return true;
    }
    RawValue value;
    if (!readData(data, value)) return false;
    values[name] = std::move(value);
    return true;
}

} // namespace

std::optional<std::string> importRegFile(const std::string& fileBytes, RegistrySnapshot& state)
{
    if (fileBytes.size() < 2 || fileBytes.compare(0, 2, "\xFF\xFE") != 0) return std::nullopt;
    std::string firstKey;
    const std::vector<std::string> lines = logicalLines(utf8FromUtf16(fileBytes.substr(2)));
    if (lines.empty() || lines.front() != kHeader) return std::nullopt;
    KeyValues* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            const bool deletion = line.size() > 2 && line[1] == '-';
            const std::string path = programPath(line.substr(deletion ? 2 : 1,
                                                             line.size() - (deletion ? 3 : 2)));
            if (path.empty()) return std::nullopt;
            if (firstKey.empty()) firstKey = path;
            if (deletion) {
                for (const auto& [key, values] : keysBelow(state, path)) state.erase(key);
                current = nullptr;
            } else {
                // Creating a key creates its parents too; an existing key keeps its spelling.
                std::string spelled;
                for (std::size_t at = 0;;) {
                    const std::size_t slash = path.find('\\', at);
                    const std::string prefix = path.substr(0, slash);
                    const auto found = keysBelow(state, prefix);
                    spelled = prefix;
                    for (const auto& [key, values] : found)
                        if (key.size() == prefix.size()) spelled = key;
                    state.try_emplace(spelled);
                    if (slash == std::string::npos) break;
                    at = slash + 1;
                }
                current = &state[spelled];
            }
            continue;
        }
        if (current == nullptr || !applyValueLine(line, *current)) return std::nullopt;
    }
    if (firstKey.empty()) return std::nullopt;
    return firstKey;
}

} // namespace oxlo::testing
