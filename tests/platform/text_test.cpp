#include "platform/services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace oxlo::platform {
namespace {

TEST(NumberFromText, ReadsSignAndLeadingDigitsOnly)
{
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {" 6001abc", 6001}, {"-12", -12},   {"+7", 7},     {"\t5", 5},      {" \t -3x", -3},
        {"abc", 0},         {"", 0},        {"- 5", 0},    {"+-5", 0},      {"12 34", 12},
        {"007", 7},         {"-0", 0},      {"  ", 0},     {"5\t", 5},      {"\n5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(numberFromText(c.text), c.expected);
    }
}

TEST(NumberFromText, WrapsModulo2To32)
{
    EXPECT_EQ(numberFromText("4294967297"), 1);
    EXPECT_EQ(numberFromText("2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(numberFromText("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(numberFromText("4294967295"), -1);
    EXPECT_EQ(numberFromText("-4294967295"), 1);
    EXPECT_EQ(numberFromText("99999999999999999999"), static_cast<std::int32_t>(1661992959));
}

TEST(TextFromNumber, SignedDecimalWithoutLeadingZeros)
{
    EXPECT_EQ(textFromNumber(0), "0");
    EXPECT_EQ(textFromNumber(6001), "6001");
    EXPECT_EQ(textFromNumber(-12), "-12");
    EXPECT_EQ(textFromNumber(std::numeric_limits<std::int32_t>::max()), "2147483647");
    EXPECT_EQ(textFromNumber(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

TEST(GetFilePart, TakesThePartAfterTheLastSlashOfEitherKind)
{
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Garmin\\Maps\\12345678.img", "12345678.img"},
        {"C:/Garmin/Maps/a.img", "a.img"},
        {"C:\\Garmin/Maps\\b.img", "b.img"},
        {"C:\\Garmin\\Maps/c.img", "c.img"},
        {"\"C:\\Garmin\\d e.img\"", "d e.img"},
        {"\"C:\\Garmin\\f.img\" -e", "f.img"},
        {"\"quoted.img\"", "quoted.img"},
        {"plain.img", "plain.img"},
        {"C:\\Garmin\\", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("path ") + c.path);
        EXPECT_EQ(getFilePart(c.path), c.expected);
    }
}

TEST(Utf16LittleEndian, EncodesEveryScriptAndMarksBrokenBytes)
{
    const struct {
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"A", u"A"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"ёŁ", u"ёŁ"},
        {"ソ表", u"ソ表"},
        {"𠮷", u"\xD842\xDFB7"},
        {"\xED\xA0\x80", u"\xD800"},                   // a lone surrogate stays
        {"\x80" "a", u"\xFFFD" "a"},                     // a stray continuation byte
        {"\xC0\xAF", u"\xFFFD\xFFFD"},                 // an overlong "/"
        {"\xE3\x82", u"\xFFFD\xFFFD"},                 // cut short
        {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"}, // beyond U+10FFFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("UTF-8 " + ::testing::PrintToString(c.utf8));
        std::string expected;
        for (const char16_t unit : c.expected) {
            expected += static_cast<char>(unit & 0xFF);
            expected += static_cast<char>(unit >> 8);
        }
        EXPECT_EQ(utf16LittleEndian(c.utf8), expected);
    }
}

TEST(WholeNumberFromText, ReadsAsNumberFromTextWithoutTheWrap)
{
    const struct {
        const char* text;
        std::int64_t expected;
    } cases[] = {
        {" 6001abc", 6001},
        {"-12", -12},
        {"+7", 7},
        {"abc", 0},
        {"4294973396", 4294973396},  // 2^32 + 6100, which numberFromText takes for 6100
        {"-4294967446", -4294967446},
        {"99999999999999999999", std::int64_t{1} << 40}, // stays at 2^40
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(wholeNumberFromText(c.text), c.expected);
    }
}

TEST(TextFromUtf16LittleEndian, ConvertsAsWindowsDoesAndSaysWhenNotExact)
{
    using namespace std::literals;
    const struct {
        std::string bytes;
        std::string text;
        bool exact;
    } cases[] = {
        {""s, ""s, true},
        {"A\0\0\0"s, "A\0"s, true},
        {"\x51\x04\xBD\x30"s, "ёソ", true},
        {"\x42\xD8\xB7\xDF"s, "𠮷", true},
        {"A\0\x42\xD8"s, "A\xEF\xBF\xBD", false},          // a high surrogate at the end
        {"\xB7\xDF" "A\0"s, "\xEF\xBF\xBD" "A", false},     // a low one without a high one
        {"\x42\xD8\x42\xD8\xB7\xDF"s, "\xEF\xBF\xBD𠮷", false}, // a high one before a pair
        {"A\0B"s, "A", false},                              // an odd last byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("UTF-16 " + ::testing::PrintToString(c.bytes));
        bool exact = !c.exact;
        EXPECT_EQ(textFromUtf16LittleEndian(c.bytes, &exact), c.text);
        EXPECT_EQ(exact, c.exact);
        if (c.exact) EXPECT_EQ(utf16LittleEndian(c.text), c.bytes);
    }
}

// Names compare as Windows compares them, letter case aside in every script (CompareStringOrdinal
// under Wine, the portable fold natively).
TEST(SameTextIgnoringCase, FoldsLetterCaseInEveryScriptAndNothingElse)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Alps", "ALPS", true},           {"Österreich", "österreich", true},
        {"ΑΘΗΝΑ", "αθηνα", true},         {"ΆΡΗΣ", "άρησ", true},
        {"МОСКВА", "москва", true},       {"ЁЛКИ", "ёлки", true},
        {"Łódź", "ŁÓDŹ", true},           {"ŽĽČ", "žľč", true},
        {"C:\\Карты\\Alps", "c:\\КАРТЫ\\ALPS", true},
        {"Alps", "Alpx", false},          {"Łódź", "Lodz", false},
        {"Österreich", "Osterreich", false}, {"МОСКВА", "МОСКВЫ", false},
        {"ソ表", "ソ", false},            {"a", "ab", false},
        {"[", "{", false},                {"@", "`", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(sameTextIgnoringCase(c.a, c.b), c.same);
        EXPECT_EQ(sameTextIgnoringCase(c.b, c.a), c.same);
    }
}

// The 8-bit fields of map files hold the ANSI code page: Windows-1252 here and in a Western Wine
// prefix.
TEST(AnsiText, ConvertsExactlyOrSaysItCannot)
{
    const struct {
        const char* text;
        const char* bytes;
        bool exact;
    } cases[] = {
        {"Alps 2024", "Alps 2024", true},
        {"Zürich Café", "Z\xFCrich Caf\xE9", true},
        {"€ Œuvre – „x“", "\x80 \x8Cuvre \x96 \x84x\x93", true},
        {"Łódź", nullptr, false},
        {"Карты", nullptr, false},
        {"ソ表", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        bool exact = !c.exact;
        const std::string bytes = ansiFromText(c.text, &exact);
        EXPECT_EQ(exact, c.exact);
        if (!c.bytes) continue;
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(textFromAnsi(bytes), c.text);
    }
}

} // namespace
} // namespace oxlo::platform
