// Whole keys held in memory and written back, against the registry of the target: the in-memory
// one natively, the real one (32-bit view) under Wine.
#include "support/registry_access.h"

#include "catalogue/registry_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::RegistryTree;

const std::string kTree = std::string(kMapsource) + "\\TreeTest";

struct Stored {
    const char* name;
    unsigned type;
    std::vector<unsigned char> bytes;
};

// Every kind of value a mapset's key may hold, with bytes no text conversion would keep.
const Stored kValues[] = {
    {"ID", kRegBinary, {0x71, 0x17}},
    {"LOC", kRegSz, {'C', ':', '\\', 0}},
    {"Count", kRegDword, {1, 2, 3, 4}},
    {"Path", kRegExpandSz, {'%', 'X', '%', 0}},
    {"List", kRegMultiSz, {'a', 0, 'b', 0, 0}},
    {"Raw", kRegNone, {}},
    {"", kRegSz, {'d', 0}}, // the default value
};

class RegistryTrees : public ::testing::Test {
protected:
    void SetUp() override
    {
        cleanMapsource();
        for (const Stored& value : kValues) putValue(kTree + "\\A", value.name, value.type, value.bytes);
        putText(kTree + "\\A\\1", "TDB", "C:\\a.tdb");
        putKey(kTree + "\\A\\1\\deep");
        putText(kTree + "\\A\\2", "TDB", "C:\\b.tdb");
    }
    void TearDown() override { cleanMapsource(); }

    static void expectLikeA(const std::string& key)
    {
        SCOPED_TRACE(key);
        for (const Stored& value : kValues) {
            SCOPED_TRACE(value.name);
            const std::optional<RawValue> got = rawValue(key, value.name);
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(got->type, value.type);
            EXPECT_EQ(got->bytes, value.bytes);
        }
        EXPECT_EQ(valueNames(key).size(), std::size(kValues));
        EXPECT_EQ(textValue(key + "\\1", "TDB"), "C:\\a.tdb");
        EXPECT_TRUE(keyExists(key + "\\1\\deep"));
        EXPECT_EQ(textValue(key + "\\2", "TDB"), "C:\\b.tdb");
    }
};

TEST_F(RegistryTrees, ACopyKeepsEveryValueTypeAndByteAndEverySubkey)
{
    ASSERT_TRUE(catalogue::copyRegistryTree(kLocalMachine, kTree + "\\A", kTree + "\\B"));
    expectLikeA(kTree + "\\B");
    expectLikeA(kTree + "\\A");
}

TEST_F(RegistryTrees, ARestoredKeyIsAsItWasReadAndHoldsNothingAddedSince)
{
    const std::optional<RegistryTree> held = catalogue::readRegistryTree(kLocalMachine, kTree + "\\A");
    ASSERT_TRUE(held.has_value());
    putText(kTree + "\\A", "LOC", "changed");
    putText(kTree + "\\A", "TYP", "added");
    putText(kTree + "\\A\\3", "TDB", "added");

    EXPECT_TRUE(catalogue::restoreRegistryTree(kLocalMachine, kTree + "\\A", *held));

    expectLikeA(kTree + "\\A");
    EXPECT_FALSE(rawValue(kTree + "\\A", "TYP").has_value());
    EXPECT_FALSE(keyExists(kTree + "\\A\\3"));
}

TEST_F(RegistryTrees, DeletingOrKeepingTakesTheWholeKeyOrNothing)
{
    EXPECT_TRUE(catalogue::deleteRegistryTreeOrKeep(kLocalMachine, kTree + "\\A"));
    EXPECT_FALSE(keyExists(kTree + "\\A"));
    EXPECT_TRUE(keyExists(kTree));
    EXPECT_FALSE(catalogue::deleteRegistryTreeOrKeep(kLocalMachine, kTree + "\\A"))
        << "a key that is not there is not reported as deleted";
    EXPECT_FALSE(catalogue::readRegistryTree(kLocalMachine, kTree + "\\A").has_value());
}

} // namespace
} // namespace oxlo::testing
