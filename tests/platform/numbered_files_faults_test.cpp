// Numbered files when a write or seek fails on the way: the loss is reported and nothing lands in
// the wrong place (portable platform, with injected failures).
#include "host_files.h"
#include "platform/portable/fault_injection.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshTestFolder;
using oxlo::testing::readHostBytes;
using oxlo::testing::writeHostBytes;

class NumberedFileFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = freshTestFolder("NumberedFileFaults") + "\\f.bin";
        writeHostBytes(file, "0123456789");
    }
    void TearDown() override { fault_injection::failCall(0); }
    std::string file;
};

TEST_F(NumberedFileFaults, AFailedSeekStopsLaterWritesAndReadsAndCloseSaysSo)
{
    ASSERT_EQ(openFile(0, file), 1);
    fault_injection::failCall(1); // the seek
    fileSeek(0, 8);
    ASSERT_TRUE(fault_injection::failureInjected());
    writeByte(0, 'X');
    EXPECT_EQ(readWord(0), 0);
    EXPECT_EQ(readLine(0), "");
    EXPECT_EQ(endOfFile(0), 1);
    EXPECT_EQ(closeFile(0), 0);
    EXPECT_EQ(readHostBytes(file), "0123456789") << "the byte must not land at position 0";
}

TEST_F(NumberedFileFaults, AFailedWriteIsReportedByTheClose)
{
    ASSERT_EQ(openFile(0, file), 1);
    fileSeek(0, 2);
    writeString(0, "ab");
    fault_injection::failCall(1); // writing out the buffer
    EXPECT_EQ(closeFile(0), 0);
    fault_injection::failCall(0);

    ASSERT_EQ(openFile(0, file), 1);
    fileSeek(0, 2);
    writeString(0, "ab");
    EXPECT_EQ(closeFile(0), 1);
    EXPECT_EQ(readHostBytes(file), "01ab456789");
}

} // namespace
} // namespace oxlo::platform

namespace oxlo::platform {
namespace {

// Each file call of a copy over an existing target fails in turn: the target is then the old
// file or the whole new one, never cut short or gone, and the source is never touched.
TEST(CopyFaults, TheTargetIsTheOldFileOrTheWholeNewOne)
{
    const std::string folder = oxlo::testing::freshTestFolder("CopyFaults");
    const std::string source = folder + "\\new.img", target = folder + "\\old.img";
    const std::string bytes(200000, 'n');
    int runs = 0;
    for (int failing = 1;; ++failing) {
        SCOPED_TRACE("failing call " + std::to_string(failing));
        oxlo::testing::writeHostBytes(source, bytes);
        oxlo::testing::writeHostBytes(target, "old");
        fault_injection::failCall(failing);
        const int copied = copyFile(source, target);
        const bool injected = fault_injection::failureInjected();
        fault_injection::failCall(0);
        EXPECT_EQ(oxlo::testing::readHostBytes(source), bytes);
        EXPECT_EQ(oxlo::testing::readHostBytes(target) == bytes ? 1 : 0, copied);
        if (!copied) {
            EXPECT_EQ(oxlo::testing::readHostBytes(target), "old");
        }
        if (!injected) break;
        ++runs;
    }
    EXPECT_GT(runs, 5);
}

} // namespace
} // namespace oxlo::platform
