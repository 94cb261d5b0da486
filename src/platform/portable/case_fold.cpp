// sameTextIgnoringCase of services.h on the portable side, over a fold of the scripts that map
// names are written in.
#include "platform/portable/case_fold.h"

#include "platform/services.h"

namespace oxlo::platform {

namespace {

// Capital to small letter where the pair is a fixed distance apart.
struct Shift {
    char32_t first, last;
    char32_t by;
};

constexpr Shift kShifts[] = {
    {U'A', U'Z', 32},         {0xC0, 0xD6, 32},     {0xD8, 0xDE, 32},
    {0x388, 0x38A, 37},       {0x38E, 0x38F, 63},   {0x391, 0x3A1, 32},
    {0x3A3, 0x3AB, 32},       {0x400, 0x40F, 80},   {0x410, 0x42F, 32},
};

// Ranges where capital and small letter alternate; `evenIsCapital` says which comes first.
struct Alternation {
    char32_t first, last;
    bool evenIsCapital;
};

constexpr Alternation kAlternations[] = {
    {0x100, 0x12F, true}, {0x132, 0x137, true}, {0x139, 0x148, false}, {0x14A, 0x177, true},
    {0x179, 0x17E, false}, {0x460, 0x481, true}, {0x48A, 0x4BF, true},  {0x4C1, 0x4CE, false},
    {0x4D0, 0x52F, true},
};

char32_t folded(char32_t c)
{
    if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c; // most names are ASCII
    for (const Shift& shift : kShifts)
        if (c >= shift.first && c <= shift.last) return c + shift.by;
    for (const Alternation& range : kAlternations)
        if (c >= range.first && c <= range.last && (c % 2 == 0) == range.evenIsCapital) return c + 1;
    switch (c) {
    case 0x178: return 0xFF;   // Ÿ
    case 0x386: return 0x3AC;  // Ά
    case 0x38C: return 0x3CC;  // Ό
    case 0x4C0: return 0x4CF;  // palochka
    default: return c;
    }
}

// The character starting at `at`, and its length through `length`; kInvalidByte + byte when the
// bytes there form none.
char32_t decode(std::string_view text, std::size_t at, std::size_t* length)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    *length = 1;
    if (lead < 0x80) return lead;
    const std::size_t size = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (size == 0 || lead > 0xF4 || at + size > text.size()) return kInvalidByte + lead;
    char32_t c = lead & (0x7F >> size);
    for (std::size_t i = 1; i < size; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return kInvalidByte + lead;
        c = c << 6 | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[size] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kInvalidByte + lead;
    *length = size;
    return c;
}

} // namespace

std::u32string charactersOf(const std::string& text)
{
    std::u32string result;
    for (std::size_t at = 0, length = 0; at < text.size(); at += length)
        result.push_back(decode(text, at, &length));
    return result;
}

std::u32string foldedText(const std::string& text)
{
    std::u32string result = charactersOf(text);
    for (char32_t& c : result)
        c = folded(c);
    return result;
}

bool sameFoldedText(std::string_view a, std::string_view b)
{
    // Character by character, without folding whole copies: the in-memory registry compares
    // names this way on every lookup.
    std::size_t atA = 0, atB = 0, lengthA = 0, lengthB = 0;
    for (; atA < a.size() && atB < b.size(); atA += lengthA, atB += lengthB) {
        if (folded(decode(a, atA, &lengthA)) != folded(decode(b, atB, &lengthB))) return false;
    }
    return atA == a.size() && atB == b.size();
}

bool sameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return sameFoldedText(a, b);
}

} // namespace oxlo::platform
