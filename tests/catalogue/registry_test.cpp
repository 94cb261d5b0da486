// The program's registry operations against the registry of the target: the in-memory one
// natively, the real one (32-bit view) under Wine.
#include "support/registry_access.h"
#include "support/shown_messages.h"

#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <string>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace scripted = oxlo::platform::scripted;

const std::string kTest = std::string(kMapsource) + "\\RegistryTest";

class RegistryOperations : public ::testing::Test {
protected:
    void SetUp() override { cleanMapsource(); }
    void TearDown() override { cleanMapsource(); }

    static std::string read(const std::string& name)
    {
        return readRegistryValue(kLocalMachine, kTest, name, "");
    }
};

TEST_F(RegistryOperations, OneLeadingBackslashIsDroppedExceptByDeleteTree)
{
    EXPECT_EQ(createRegistryKey(kLocalMachine, "\\" + kTest + "\\Lead", ""), 1);
    EXPECT_TRUE(keyExists(kTest + "\\Lead"));

    EXPECT_EQ(writeRegistryValue(kLocalMachine, "\\" + kTest + "\\Lead", "LOC", "C:\\Maps", 1, ""),
              1);
    EXPECT_EQ(textValue(kTest + "\\Lead", "LOC"), "C:\\Maps");
    EXPECT_EQ(readRegistryValue(kLocalMachine, "\\" + kTest + "\\Lead", "LOC", ""), "C:\\Maps");

    // deleteRegistryTree takes the path as given, and the registry refuses a leading backslash.
    EXPECT_EQ(deleteRegistryTree(kLocalMachine, "\\" + kTest + "\\Lead"), 0);
    EXPECT_TRUE(keyExists(kTest + "\\Lead"));
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(RegistryOperations, DeleteTreeRemovesEveryLevelAndNothingElse)
{
    putText(kTest + "\\Tree\\A\\B\\C", "LOC", "deep");
    putText(kTest + "\\Tree\\A\\B2", "LOC", "side");
    putKey(kTest + "\\Tree\\D");
    putText(kTest + "\\Tree", "TDB", "on the key itself");
    putText(kTest + "\\Sibling", "LOC", "stays");

    EXPECT_EQ(deleteRegistryTree(kLocalMachine, kTest + "\\Tree"), 1);
    EXPECT_FALSE(keyExists(kTest + "\\Tree"));
    EXPECT_TRUE(keyExists(kTest));
    EXPECT_EQ(textValue(kTest + "\\Sibling", "LOC"), "stays");

    EXPECT_EQ(deleteRegistryTree(kLocalMachine, kTest + "\\Tree"), 0) << "missing key";
}

TEST_F(RegistryOperations, DeleteTreeWithEmptyPathTouchesNothing)
{
    putKey(kTest + "\\Kept");
    EXPECT_EQ(deleteRegistryTree(kLocalMachine, ""), 0);
    EXPECT_TRUE(keyExists(kTest + "\\Kept"));
}

TEST_F(RegistryOperations, NumbersReadAsSignedDecimalOfTheirLittleEndianBytes)
{
    putValue(kTest, "Binary2", kRegBinary, {0x71, 0x17});
    putValue(kTest, "Binary2High", kRegBinary, {0xFF, 0xFF});
    putValue(kTest, "Binary3", kRegBinary, {0x01, 0x02, 0x03});
    putValue(kTest, "DwordMax", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF});
    putValue(kTest, "Dword", kRegDword, {0x72, 0x17, 0x00, 0x00});
    putValue(kTest, "BinaryEmpty", kRegBinary, {});

    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Binary2", "6001"},     {"Binary2High", "65535"}, {"Binary3", "197121"},
        {"DwordMax", "-1"},      {"Dword", "6002"},        {"BinaryEmpty", "0"},
        {"Missing", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read(c.name), c.expected);
    }
}

TEST_F(RegistryOperations, NumbersLongerThanFourBytesReadAsZero)
{
    putValue(kTest, "Binary5", kRegBinary, {0x71, 0x17, 0x00, 0x00, 0x01});
    putValue(kTest, "Binary200", kRegBinary, std::vector<unsigned char>(200, 0xAB));
    EXPECT_EQ(read("Binary5"), "0");
    EXPECT_EQ(read("Binary200"), "0");
}

TEST_F(RegistryOperations, TextsReadWithoutTheirNulUpTo254Characters)
{
    putText(kTest, "Loc", "C:\\Garmin\\Oxlo\\Alps");
    putText(kTest, "Chars254", std::string(254, 'x'));
    putText(kTest, "Chars255", std::string(255, 'y'));
    putText(kTest, "Empty", "");
    putValue(kTest, "Expand", kRegExpandSz, textBytes("%SystemRoot%"));
    putValue(kTest, "Multi", kRegMultiSz, {'a', 0, 'b', 0, 0});
    // Stored without their NUL: 254 characters fit the read, 255 are one too many.
    putValue(kTest, "Unended254", kRegSz, std::vector<unsigned char>(254, 'u'));
    putValue(kTest, "Unended255", kRegSz, std::vector<unsigned char>(255, 'v'));

    EXPECT_EQ(read("Loc"), "C:\\Garmin\\Oxlo\\Alps");
    EXPECT_EQ(read("Chars254"), std::string(254, 'x'));
    EXPECT_EQ(read("Chars255"), "");
    EXPECT_EQ(read("Empty"), "");
    EXPECT_EQ(read("Expand"), "");
    EXPECT_EQ(read("Multi"), "");
    EXPECT_EQ(read("Unended254"), std::string(254, 'u'));
    EXPECT_EQ(read("Unended255"), "");
    EXPECT_EQ(readRegistryValue(kLocalMachine, kTest + "\\NoSuchKey", "Loc", ""), "");
}

// Key names, value names and texts in Cyrillic, Polish and Japanese (ソ and 表 end in the byte
// 0x5C in Shift-JIS) come back through the seam exactly, sizes in bytes of UTF-8; names are found
// in another letter case; a text of 254 characters is read whole however many bytes it takes.
TEST_F(RegistryOperations, NamesAndTextsInAnyScriptComeBackExactly)
{
    const std::string texts[] = {"C:\\Карты\\Alps", "D:\\Łódź\\Mapy", "E:\\地図\\ソ表"};
    for (const std::string& text : texts) {
        const std::string name = text.substr(3, text.rfind('\\') - 3);
        SCOPED_TRACE(name);
        putKey(kTest + "\\" + name);
        EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest + "\\" + name, "LOC " + name, text,
                                     kValueText, ""), 1);
        EXPECT_EQ(textValue(kTest + "\\" + name, "LOC " + name), text);
        EXPECT_EQ(rawValue(kTest + "\\" + name, "LOC " + name)->bytes, textBytes(text));
        putValue(kTest + "\\" + name, "Multi", kRegMultiSz, textBytes(text + '\0' + name + '\0'));
        EXPECT_EQ(rawValue(kTest + "\\" + name, "Multi")->bytes, textBytes(text + '\0' + name + '\0'));
        EXPECT_EQ(valueNames(kTest + "\\" + name), (std::vector<std::string>{"LOC " + name, "Multi"}));
    }
    EXPECT_EQ(subkeyNames(kTest), (std::vector<std::string>{"Łódź", "Карты", "地図"}));
    EXPECT_EQ(readRegistryValue(kLocalMachine, kTest + "\\КАРТЫ", "loc карты", ""), texts[0]);
    EXPECT_EQ(readRegistryValue(kLocalMachine, kTest + "\\łÓDŹ", "LOC ŁÓDŹ", ""), texts[1]);

    std::string cyrillic254;
    for (int i = 0; i < 127; ++i) cyrillic254 += "Жж";
    putText(kTest, "Long", cyrillic254);
    putText(kTest, "TooLong", cyrillic254 + "ж");
    EXPECT_EQ(read("Long"), cyrillic254);
    EXPECT_EQ(read("TooLong"), "");
}

TEST_F(RegistryOperations, WritesStoreTheBytesOfTheirTypeCode)
{
    putKey(kTest);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "Binary", "70000", kValueBinary, ""), 1);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "Negative", "-2", kValueBinary, ""), 1);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "Text", "6001", kValueText, ""), 1);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "Dword", " -12abc", kValueDword, ""), 1);

    struct Case {
        const char* name;
        unsigned type;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"Binary", kRegBinary, {0x70, 0x11}},
        {"Negative", kRegBinary, {0xFE, 0xFF}},
        {"Text", kRegSz, {'6', '0', '0', '1', 0}},
        {"Dword", kRegDword, {0xF4, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto value = rawValue(kTest, c.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->bytes, c.bytes);
    }
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(RegistryOperations, UnknownTypeCodeWritesNothingAndSucceeds)
{
    putText(kTest, "ID", "sentinel");
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "ID", "6001", 2, ""), 1);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "New", "6001", 7, ""), 1);
    EXPECT_EQ(textValue(kTest, "ID"), "sentinel");
    EXPECT_FALSE(rawValue(kTest, "New").has_value());
}

TEST_F(RegistryOperations, WritingIntoAMissingKeyShowsFehlerAndCreatesNothing)
{
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest + "\\Missing", "LOC", "x", kValueText, ""),
              0);
    EXPECT_FALSE(keyExists(kTest + "\\Missing"));
    EXPECT_FALSE(keyExists(kTest));

    EXPECT_EQ(textsAndFlags("Fehler"), (Shown{{"Ein Fehler ist aufgetreten", 0}}));
}

TEST_F(RegistryOperations, CreatingAnExistingKeyKeepsItsValuesAndSubkeys)
{
    putText(kTest + "\\Alps", "LOC", "C:\\Maps\\Alps");
    putKey(kTest + "\\Alps\\1");
    EXPECT_EQ(createRegistryKey(kLocalMachine, kTest + "\\Alps", ""), 1);
    EXPECT_EQ(textValue(kTest + "\\Alps", "LOC"), "C:\\Maps\\Alps");
    EXPECT_EQ(subkeyNames(kTest + "\\Alps"), std::vector<std::string>{"1"});
}

TEST_F(RegistryOperations, KeyNamesIgnoreLetterCase)
{
    putText(kTest + "\\Alps", "LOC", "C:\\Maps\\Alps");
    EXPECT_EQ(readRegistryValue(kLocalMachine, kTest + "\\ALPS", "loc", ""), "C:\\Maps\\Alps");
    EXPECT_EQ(createRegistryKey(kLocalMachine, kTest + "\\alps", ""), 1);
    EXPECT_EQ(subkeyNames(kTest), std::vector<std::string>{"Alps"});
    EXPECT_EQ(deleteRegistryTree(kLocalMachine, kTest + "\\aLPS"), 1);
    EXPECT_FALSE(keyExists(kTest + "\\Alps"));
}

TEST_F(RegistryOperations, AnUnreachableComputerFailsEveryOperation)
{
    scripted::answerNextMessage(kAnswerOk);
    const std::string nowhere = "\\\\OXLO-NO-SUCH-COMPUTER";
    putText(kTest, "LOC", "local");
    EXPECT_EQ(createRegistryKey(kLocalMachine, kTest + "\\Remote", nowhere), 0);
    EXPECT_EQ(readRegistryValue(kLocalMachine, kTest, "LOC", nowhere), "");
    EXPECT_EQ(writeRegistryValue(kLocalMachine, kTest, "LOC", "remote", kValueText, nowhere), 0);
    EXPECT_EQ(textValue(kTest, "LOC"), "local");
    EXPECT_FALSE(keyExists(kTest + "\\Remote"));
    ASSERT_EQ(scripted::shownMessages().size(), 1u);
    EXPECT_EQ(scripted::shownMessages()[0].title, "Fehler");
}

} // namespace
} // namespace oxlo::testing
