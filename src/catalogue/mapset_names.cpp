#include "catalogue/mapset_names.h"

#include <string_view>

namespace oxlo::catalogue {

bool isUsableFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    constexpr std::string_view forbidden = "\\/<>:\"|?*";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || forbidden.find(c) != std::string_view::npos) return false;
    }
    const char last = name.back();
    return last != '.' && last != ' ';
}

} // namespace oxlo::catalogue
