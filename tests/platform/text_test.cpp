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

} // namespace
} // namespace oxlo::platform
