#include "generated/hostile_names.h"

#include <vector>

namespace oxlo::generated {
namespace {

// Each piece is UTF-8. "表", "ソ" and "能" end in 0x5C in Shift-JIS, the byte of a backslash.
const std::vector<std::string> kLetters = {
    "Alps", "Dales", "Topo", "Карта", "表ソ能", "e\u0301te", "Ｍａｐ", "Straße", "Kırşehir",
    "Österreich", "Café", "Zürich", "Ærø", "München", "ÿ", "İzmir"};
const std::vector<std::string> kForbidden = {"\\", "/", ":", "*", "?", "\"", "<", ">", "|"};

std::string piecesOf(RandomSource& random, int count)
{
    std::string name;
    for (int i = 0; i < count; ++i) {
        if (i > 0) name += random.percent(50) ? " " : "-";
        name += random.pick(kLetters);
    }
    return name;
}

std::string longName(RandomSource& random, int low, int high)
{
    const int length = random.between(low, high);
    std::string name = "Long";
    while (static_cast<int>(name.size()) < length) name += random.percent(30) ? "ü" : "x";
    return name;
}

} // namespace

std::string hostileMapsetName(RandomSource& random)
{
    switch (random.below(9)) {
    case 0: return " " + piecesOf(random, 1);
    case 1: return piecesOf(random, 1) + "  ";
    case 2: return piecesOf(random, 1) + random.pick(kForbidden) + piecesOf(random, 1);
    case 3: return random.percent(50) ? "." : "..";
    case 4: return piecesOf(random, 1) + "...";
    case 5: return longName(random, 200, 300);
    default: return piecesOf(random, random.between(1, 2));
    }
}

std::string hostileFolderName(RandomSource& random)
{
    switch (random.below(6)) {
    case 0: return " " + piecesOf(random, 1);
    case 1: return longName(random, 60, 120);
    case 2: return piecesOf(random, 1) + ".maps";
    default: return piecesOf(random, random.between(1, 2));
    }
}

std::string otherLetterCase(const std::string& name)
{
    std::string other;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'a' && c <= 'z') {
            other += static_cast<char>(c - 32);
        } else if (c >= 'A' && c <= 'Z') {
            other += static_cast<char>(c + 32);
        } else if (c == 0xD0 && i + 1 < name.size()) {
            // Cyrillic а-п (D0 B0..BF) and А-П (D0 90..9F) differ by 0x20 in the second byte.
            const unsigned char next = static_cast<unsigned char>(name[++i]);
            other += static_cast<char>(c);
            other += static_cast<char>(next >= 0xB0 ? next - 0x20 : next >= 0x90 && next < 0xA0 ? next + 0x20 : next);
        } else {
            other += static_cast<char>(c);
        }
    }
    return other;
}

} // namespace oxlo::generated
