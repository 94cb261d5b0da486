// The icon held in the program must be a valid one-image, 256-colour 32 x 32 ICO file, and the
// same bytes as the icon resource oxlo.ico.
#include "app/app_icon_data.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace oxlo::app_test {
namespace {

std::uint32_t little(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

TEST(AppIcon, IsOneEightBitThirtyTwoPixelImageOfTheExpectedSizes)
{
    ASSERT_EQ(app::appIconSize, 2238u);
    const std::uint8_t* ico = app::appIconData;

    struct Field {
        const char* name;
        std::size_t offset;
        int bytes;
        std::uint32_t expected;
    };
    const Field fields[] = {
        {"directory reserved", 0, 2, 0},  {"directory type (icon)", 2, 2, 1},
        {"image count", 4, 2, 1},         {"entry width", 6, 1, 32},
        {"entry height", 7, 1, 32},       {"entry colour count (256)", 8, 1, 0},
        {"entry planes", 10, 2, 1},       {"entry bits per pixel", 12, 2, 8},
        {"entry image bytes", 14, 4, 2216}, {"entry image offset", 18, 4, 22},
        {"header size", 22, 4, 40},       {"bitmap width", 26, 4, 32},
        {"bitmap height (colour + mask)", 30, 4, 64},
        {"bitmap planes", 34, 2, 1},      {"bitmap bits per pixel", 36, 2, 8},
        {"compression", 38, 4, 0},
    };
    for (const Field& field : fields) {
        SCOPED_TRACE(field.name);
        EXPECT_EQ(little(ico + field.offset, field.bytes), field.expected);
    }
}

TEST(AppIcon, ProgramDataMatchesTheIconResource)
{
    const auto file = oxlo::testing::readWholeFile(OXLO_APP_ICON_FILE);
    ASSERT_TRUE(file) << OXLO_APP_ICON_FILE;
    const std::vector<std::uint8_t> resource(file->begin(), file->end());
    EXPECT_EQ(resource.size(), 2238u);
    EXPECT_TRUE(resource == std::vector<std::uint8_t>(app::appIconData,
                                                      app::appIconData + app::appIconSize))
        << "oxlo.ico and app_icon_data.cpp differ: run tools/make_icon.py";
}

} // namespace
} // namespace oxlo::app_test
