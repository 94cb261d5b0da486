#include "catalogue/reg_file_reader.h"

#include "platform/registry_store.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace oxlo::testing {
namespace {

constexpr const char* kRoot = "HKEY_LOCAL_MACHINE\\";

// The lines of the file's text, each hex line joined with the lines that go on from it.
std::vector<std::string> logicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    bool continues = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 2;
        if (continues) line = lines.back() + line.substr(line.find_first_not_of(' '));
        if (continues) lines.pop_back();
        continues = !line.empty() && line.back() == '\\';
        if (continues) line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The "..." at text[i] without its escapes, moving i past it; nothing when it is not closed.
bool unquote(const std::string& text, std::size_t& i, std::string& out)
{
    for (++i; i < text.size(); ++i) {
        if (text[i] == '"') return ++i, true;
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return false;
}

bool hexBytes(const std::string& list, std::string& out)
{
    for (std::size_t i = 0; i < list.size(); i += 3) {
        if (i + 2 > list.size() || (i + 2 < list.size() && list[i + 2] != ',')) return false;
        out += static_cast<char>(std::strtoul(list.substr(i, 2).c_str(), nullptr, 16));
    }
    return true;
}

// The data after "=": its type and bytes as "TYPE:BYTES"; false when it has no known form.
bool valueData(const std::string& data, std::string& out)
{
    std::string bytes;
    unsigned type = platform::kRegBinary;
    if (data.starts_with("\"")) {
        std::size_t i = 0;
        std::string text;
        if (!unquote(data, i, text) || i != data.size()) return false;
        type = platform::kRegSz;
        bytes = platform::utf16LittleEndian(text) + std::string(2, '\0');
    } else if (data.starts_with("dword:") && data.size() == 14) {
        const unsigned long number = std::strtoul(data.c_str() + 6, nullptr, 16);
        type = platform::kRegDword;
        for (int k = 0; k < 4; ++k) bytes += static_cast<char>(number >> (8 * k) & 0xFF);
    } else if (data.starts_with("hex:")) {
        if (!hexBytes(data.substr(4), bytes)) return false;
    } else if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string::npos) return false;
        type = static_cast<unsigned>(std::strtoul(data.c_str() + 4, nullptr, 16));
        if (!hexBytes(data.substr(close + 2), bytes)) return false;
    } else {
        return false;
    }
    out = std::to_string(type) + ":" + bytes;
    return true;
}

} // namespace

RegFileValues readRegFile(const std::string& fileBytes)
{
    if (!fileBytes.starts_with("\xFF\xFE")) return {};
    bool exact = false;
    const std::string text = platform::textFromUtf16LittleEndian(fileBytes.substr(2), &exact);
    RegFileValues keys;
    std::string key;
    for (const std::string& line : logicalLines(text)) {
        if (line.empty() || line.starts_with("[-") || line.starts_with("Windows Registry"))
            continue;
        if (line.starts_with(std::string("[") + kRoot) && line.back() == ']') {
            const std::size_t start = 1 + std::string(kRoot).size();
            key = line.substr(start, line.size() - 1 - start);
            keys[key];
            continue;
        }
        std::string name;
        std::size_t i = 0;
        bool named = line.starts_with("@");
        if (named)
            i = 1;
        else if (line.starts_with("\""))
            named = unquote(line, i, name);
        std::string value;
        if (!exact || key.empty() || !named || i >= line.size() || line[i] != '=' ||
            !valueData(line.substr(i + 1), value)) {
            ADD_FAILURE() << "a line regedit would not read: " << line;
            return {};
        }
        keys[key][name] = value;
    }
    return keys;
}

} // namespace oxlo::testing
