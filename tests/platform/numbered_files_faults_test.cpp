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
