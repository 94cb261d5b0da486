#include "catalogue/name_rules.h"

#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace oxlo::catalogue {

namespace {

static_assert(kMaxStoredPathCharacters == platform::kMaxTextCharacters);

// Java's trim, which mkgmap applies to names, takes every character up to the blank.
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Windows takes the part before the first dot, blanks after it ignored, for the device name.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    constexpr std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : plain)
        if (platform::sameTextIgnoringCase(stem, std::string(device))) return true;
    const bool numbered = stem.size() == 4 && (platform::sameTextIgnoringCase(stem.substr(0, 3), "COM") ||
                                               platform::sameTextIgnoringCase(stem.substr(0, 3), "LPT"));
    return numbered && stem[3] >= '1' && stem[3] <= '9';
}

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A part that Windows reads as the parent folder once it drops trailing dots and blanks.
bool isParentPart(std::string_view part) {
    return part.find_first_not_of(". ") == std::string_view::npos &&
           std::ranges::count(part, '.') >= 2;
}

} // namespace

bool hasBlankAtEitherEnd(const std::string& name) {
    return !name.empty() && (isBlank(name.front()) || isBlank(name.back()));
}

bool isUsableMapsetName(const std::string& name) {
    if (name.empty() || hasBlankAtEitherEnd(name)) return false;
    if (name.find('\\') != std::string::npos) return false;
    return platform::utf16LittleEndian(name).size() / 2 <= kMaxMapsetNameCharacters;
}

bool isUsableFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    constexpr std::string_view forbidden = "\\/<>:\"|?*";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || forbidden.find(c) != std::string_view::npos) return false;
    }
    const char last = name.back();
    return last != '.' && last != ' ' && !isDeviceName(name);
}

bool fitsAnsiPrograms(const std::string& name) {
    bool exact = true;
    platform::textForAnsiPrograms(name, &exact);
    return exact;
}

bool isStorablePath(const std::string& path) {
    return platform::characterCount(path) <= kMaxStoredPathCharacters;
}

std::string unstorablePathText(const std::string& path) {
    return "The path " + path + " is longer than the " +
           platform::textFromNumber(static_cast<std::int32_t>(kMaxStoredPathCharacters)) +
           " characters that MapSource's registry entries can hold.";
}

std::string storedFolder(const std::string& folder) {
    std::string result;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const bool repeated = folder[i] == '\\' && i > 1 && folder[i - 1] == '\\';
        if (!repeated) result += folder[i];
    }
    const bool drive = result.size() >= 2 && isDriveLetter(result[0]) && result[1] == ':';
    const std::size_t keep = drive ? 3 : 1;
    while (result.size() > keep && result.back() == '\\') result.pop_back();
    if (drive && result.size() == 2) result += '\\';
    return result;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    const std::string base = storedFolder(folder);
    const std::string file = name.substr(std::min(name.find_first_not_of('\\'), name.size()));
    if (base.empty()) return file;
    return base.back() == '\\' ? base + file : base + "\\" + file;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : storedFolder(path.substr(0, slash + 1));
}

bool leavesFolder(const std::string& relative) {
    if (relative.empty()) return false;
    if (relative.front() == '\\' || relative.front() == '/') return true;
    if (relative.find(':') != std::string::npos) return true;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of("\\/", start), relative.size());
        if (isParentPart(std::string_view(relative).substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

} // namespace oxlo::catalogue
