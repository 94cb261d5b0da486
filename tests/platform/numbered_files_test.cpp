#include "host_files.h"
#include "support/folder_test.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <vector>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshFolderForThisTest;
using oxlo::testing::hostExists;
using oxlo::testing::readHostBytes;
using oxlo::testing::writeHostBytes;

class NumberedFiles : public ::testing::Test {
protected:
    void SetUp() override { folder = freshFolderForThisTest(); }
    void TearDown() override
    {
        closeFile(0);
        closeFile(1);
    }
    std::string file(const std::string& name) const { return folder + "\\" + name; }

    // Every line of a file holding `bytes`, read with readLine until endOfFile.
    std::vector<std::string> linesOf(const std::string& bytes)
    {
        writeHostBytes(file("lines.txt"), bytes);
        EXPECT_EQ(openFileForReading(0, file("lines.txt")), 1);
        std::vector<std::string> lines;
        while (endOfFile(0) == 0 && lines.size() < 10000)
            lines.push_back(readLine(0));
        closeFile(0);
        return lines;
    }

    std::string folder;
};

using Lines = std::vector<std::string>;

TEST_F(NumberedFiles, ReadLineEndsAtCrLfCrLfAndNul)
{
    const struct {
        std::string bytes;
        Lines expected;
    } cases[] = {
        {"A\r\nB\rC", {"A", "B", "C"}},
        {"A\nB\r\nC\r\n", {"A", "B", "C"}},
        {std::string("A\0B", 3), {"A", "B"}},
        {"A\r\rB", {"A", "", "B"}},
        {"A\n\r\nB", {"A", "", "B"}},
        {"A\r", {"A"}},
        {"", {}},
        // A CR LF pair across the boundary of a 4096-byte read must stay one line end.
        {std::string(4095, 'x') + "\r\nB", {std::string(4095, 'x'), "B"}},
        {std::string(4095, 'y') + "\rB", {std::string(4095, 'y'), "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bytes \"" + c.bytes.substr(0, 20) + "\" of length " +
                     std::to_string(c.bytes.size()));
        EXPECT_EQ(linesOf(c.bytes), c.expected);
    }
}

TEST_F(NumberedFiles, ReadLineAtTheEndGivesTheEmptyText)
{
    writeHostBytes(file("one.txt"), "only");
    ASSERT_EQ(openFileForReading(0, file("one.txt")), 1);
    EXPECT_EQ(readLine(0), "only");
    EXPECT_EQ(endOfFile(0), 1);
    EXPECT_EQ(readLine(0), "");
}

TEST_F(NumberedFiles, WritesLinesAndBytesExactly)
{
    ASSERT_EQ(createFile(0, file("out.txt")), 1);
    writeLine(0, "");
    writeString(0, "");
    writeLine(0, "FID=6001");
    writeByte(0, 0x1FF);
    writeWord(0, 0x12345);
    writeWord(0, -2);
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("out.txt")), "\r\nFID=6001\r\n\xFF\x45\x23\xFE\xFF");
}

TEST_F(NumberedFiles, OpenFileKeepsTheRestOfAnExistingFile)
{
    writeHostBytes(file("ten.bin"), "0123456789");
    ASSERT_EQ(openFile(0, file("ten.bin")), 1);
    writeString(0, "abc");
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("ten.bin")), "abc3456789");
}

TEST_F(NumberedFiles, OpenFileCreatesAMissingFileEmpty)
{
    ASSERT_EQ(openFile(0, file("new.bin")), 1);
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("new.bin")), "");
    EXPECT_EQ(openFile(1, file("no such folder\\new.bin")), 0);
}

TEST_F(NumberedFiles, CreateFileEmptiesAnExistingFile)
{
    writeHostBytes(file("ten.bin"), "0123456789");
    ASSERT_EQ(createFile(0, file("ten.bin")), 1);
    writeString(0, "xy");
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("ten.bin")), "xy");
}

TEST_F(NumberedFiles, OpenForReadingLeavesAMissingFileMissing)
{
    EXPECT_EQ(openFileForReading(0, file("absent.txt")), 0);
    EXPECT_FALSE(hostExists(file("absent.txt")));
    EXPECT_EQ(readLine(0), "");
    EXPECT_EQ(endOfFile(0), 1);
}

TEST_F(NumberedFiles, BufferedWritesReachTheDiskOnSeekAndClose)
{
    writeHostBytes(file("data.bin"), "");
    ASSERT_EQ(openFile(0, file("data.bin")), 1);
    writeString(0, "hello");
    fileSeek(0, 0);
    EXPECT_EQ(readHostBytes(file("data.bin")), "hello") << "after fileSeek, the file still open";
    writeString(0, "J");
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("data.bin")), "Jello");
}

TEST_F(NumberedFiles, WritesLargerThanTheBufferArriveWholeAndInOrder)
{
    std::string expected;
    ASSERT_EQ(createFile(0, file("big.bin")), 1);
    for (int i = 0; i < 3000; ++i) { // small writes that fill the buffer many times over
        writeByte(0, i);
        expected.push_back(static_cast<char>(i & 0xFF));
    }
    std::string block(5000, 'b');
    for (std::size_t i = 0; i < block.size(); i += 97)
        block[i] = 'B';
    writeString(0, block);
    writeLine(0, "end");
    closeFile(0);
    expected += block + "end\r\n";
    const std::string written = readHostBytes(file("big.bin"));
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << "the bytes on disk differ from those written";
}

TEST_F(NumberedFiles, WritingAfterReadingContinuesWhereTheReadStopped)
{
    writeHostBytes(file("mixed.bin"), "0123456789");
    ASSERT_EQ(openFile(0, file("mixed.bin")), 1);
    char two[2] = {};
    ASSERT_EQ(readData(0, two, 2), 2u);
    writeString(0, "ab");
    EXPECT_EQ(readLine(0), "456789") << "reading on after a write";
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("mixed.bin")), "01ab456789");
}

TEST_F(NumberedFiles, SeekThenReadAndReadDataAtTheEnd)
{
    writeHostBytes(file("two.txt"), "one\r\ntwo\r\n");
    ASSERT_EQ(openFileForReading(0, file("two.txt")), 1);
    fileSeek(0, 5);
    EXPECT_EQ(readLine(0), "two");
    fileSeek(0, 8);
    char buffer[8] = {'?', '?', '?', '?', '?', '?', '?', '?'};
    EXPECT_EQ(readData(0, buffer, sizeof buffer), 2u);
    EXPECT_EQ(std::string(buffer, 3), "\r\n?") << "bytes past the end stay untouched";
}

TEST_F(NumberedFiles, ReadWordIsSignedLittleEndian)
{
    writeHostBytes(file("words.bin"), std::string("\x01\x02\xFF\xFF\x00\x80\x7F", 7));
    ASSERT_EQ(openFileForReading(0, file("words.bin")), 1);
    EXPECT_EQ(readWord(0), 0x0201);
    EXPECT_EQ(readWord(0), -1);
    EXPECT_EQ(readWord(0), -32768);
    EXPECT_EQ(readWord(0), 0x7F) << "a lone last byte is the low byte";
    EXPECT_EQ(readWord(0), 0) << "nothing left";
}

TEST_F(NumberedFiles, ReusingANumberClosesTheEarlierFileWithItsWrites)
{
    ASSERT_EQ(createFile(0, file("first.txt")), 1);
    writeString(0, "first");
    ASSERT_EQ(createFile(0, file("second.txt")), 1);
    writeString(0, "second");
    closeFile(0);
    EXPECT_EQ(readHostBytes(file("first.txt")), "first");
    EXPECT_EQ(readHostBytes(file("second.txt")), "second");
}

} // namespace
} // namespace oxlo::platform
