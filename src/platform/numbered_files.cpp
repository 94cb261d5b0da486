// Numbered files over the raw file primitives. Writes collect in a 4096-byte buffer per file and
// reach the disk on fileSeek, closeFile or when the buffer fills. Reads go through a read-ahead
// buffer so that readLine does not cost one system call per byte; the raw position is put back
// to the logical one before any write, seek or close.
#include "platform/services.h"
#include "platform/system_primitives.h"
#include "platform/text_lines.h"

#include <algorithm>
#include <map>
#include <vector>

namespace oxlo::platform {
namespace {

constexpr std::size_t kWriteBufferSize = 4096;
constexpr std::size_t kReadAheadSize = 4096;

struct NumberedFile {
    raw::File file = raw::kNoFile;
    std::vector<char> pendingWrites;
    std::vector<char> readAhead;
    std::size_t readPosition = 0; // next unread byte of readAhead
    // A write or seek failed: nothing more is written, since it would land at the wrong place,
    // and closeFile reports the loss.
    bool failed = false;
};

std::map<int, NumberedFile>& openFiles()
{
    static std::map<int, NumberedFile> files;
    return files;
}

NumberedFile* findFile(int fileNumber)
{
    auto found = openFiles().find(fileNumber);
    return found == openFiles().end() ? nullptr : &found->second;
}

void writeOut(NumberedFile& file)
{
    if (!file.pendingWrites.empty()) {
        if (!file.failed &&
            !raw::writeRaw(file.file, file.pendingWrites.data(), file.pendingWrites.size()))
            file.failed = true;
        file.pendingWrites.clear();
    }
}

// Drops the read-ahead, moving the raw position back to the first byte not yet handed out.
void dropReadAhead(NumberedFile& file)
{
    const std::size_t unread = file.readAhead.size() - file.readPosition;
    if (unread != 0)
        raw::seekRaw(file.file, raw::tellRaw(file.file) - static_cast<std::int64_t>(unread));
    file.readAhead.clear();
    file.readPosition = 0;
}

// Makes the file ready for reading: buffered writes are written first, so reads see them. False
// after a failed write or seek: the position is then unknown, and bytes read from it would be
// taken for the ones asked for.
bool prepareRead(NumberedFile& file)
{
    writeOut(file);
    return !file.failed;
}

bool fillReadAhead(NumberedFile& file)
{
    file.readAhead.resize(kReadAheadSize);
    const std::size_t got = raw::readRaw(file.file, file.readAhead.data(), kReadAheadSize);
    file.readAhead.resize(got);
    file.readPosition = 0;
    return got != 0;
}

// The next byte, or -1 at the end of the file.
int nextByte(NumberedFile& file)
{
    if (file.readPosition == file.readAhead.size() && !fillReadAhead(file))
        return -1;
    return static_cast<unsigned char>(file.readAhead[file.readPosition++]);
}

void appendWrite(int fileNumber, const char* data, std::size_t length)
{
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr || length == 0 || file->failed)
        return;
    dropReadAhead(*file);
    if (file->pendingWrites.size() + length > kWriteBufferSize)
        writeOut(*file);
    if (length >= kWriteBufferSize) {
        if (!file->failed && !raw::writeRaw(file->file, data, length))
            file->failed = true;
    } else
        file->pendingWrites.insert(file->pendingWrites.end(), data, data + length);
}

int openNumbered(int fileNumber, const std::string& path, raw::OpenMode mode)
{
    // Reusing a number closes the earlier file rather than losing its handle and buffer.
    closeFile(fileNumber);
    const raw::File file = raw::openRaw(path, mode);
    if (file == raw::kNoFile)
        return 0;
    openFiles()[fileNumber].file = file;
    return 1;
}

} // namespace

int openFile(int fileNumber, const std::string& path)
{
    return openNumbered(fileNumber, path, raw::OpenMode::ReadWriteAlways);
}

int createFile(int fileNumber, const std::string& path)
{
    return openNumbered(fileNumber, path, raw::OpenMode::WriteTruncate);
}

int openFileForReading(int fileNumber, const std::string& path)
{
    return openNumbered(fileNumber, path, raw::OpenMode::ReadExisting);
}

int closeFile(int fileNumber)
{
    auto found = openFiles().find(fileNumber);
    if (found == openFiles().end())
        return 0;
    writeOut(found->second);
    const bool written = !found->second.failed;
    raw::closeRaw(found->second.file);
    openFiles().erase(found);
    return written ? 1 : 0;
}

void closeAllFiles()
{
    while (!openFiles().empty())
        closeFile(openFiles().begin()->first);
}

void fileSeek(int fileNumber, std::int64_t position)
{
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr)
        return;
    writeOut(*file);
    file->readAhead.clear();
    file->readPosition = 0;
    if (!raw::seekRaw(file->file, position))
        file->failed = true;
}

std::size_t readData(int fileNumber, void* buffer, std::size_t length)
{
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr || length == 0 || !prepareRead(*file))
        return 0;
    char* out = static_cast<char*>(buffer);
    const std::size_t buffered = std::min(length, file->readAhead.size() - file->readPosition);
    std::copy_n(file->readAhead.data() + file->readPosition, buffered, out);
    file->readPosition += buffered;
    if (buffered == length)
        return length;
    return buffered + raw::readRaw(file->file, out + buffered, length - buffered);
}

int readUnsignedWord(int fileNumber)
{
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr || !prepareRead(*file))
        return 0;
    const int low = nextByte(*file);
    if (low < 0)
        return 0;
    const int high = nextByte(*file);
    if (high < 0)
        return low;
    return low | (high << 8);
}

int readWord(int fileNumber)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(readUnsignedWord(fileNumber)));
}

std::string readLine(int fileNumber)
{
    std::string line;
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr || !prepareRead(*file))
        return line;
    for (;;) {
        if (file->readPosition == file->readAhead.size() && !fillReadAhead(*file))
            return line;
        const std::string_view unread(file->readAhead.data() + file->readPosition,
                                      file->readAhead.size() - file->readPosition);
        const LineSpan span = firstLine(unread);
        line.append(unread.substr(0, span.length));
        file->readPosition += span.length + span.endLength;
        if (span.endLength == 0)
            continue;
        // A CR that ended the read-ahead: an LF starting the next fill belongs to the same line
        // end; anything else stays unread.
        if (unread[span.length] == '\r' && span.endLength == 1 &&
            file->readPosition == file->readAhead.size() && nextByte(*file) != '\n' &&
            file->readPosition != 0)
            --file->readPosition;
        return line;
    }
}

int endOfFile(int fileNumber)
{
    NumberedFile* file = findFile(fileNumber);
    if (file == nullptr || !prepareRead(*file))
        return 1;
    if (file->readPosition < file->readAhead.size())
        return 0;
    return fillReadAhead(*file) ? 0 : 1;
}

void writeString(int fileNumber, const std::string& text)
{
    appendWrite(fileNumber, text.data(), text.size());
}

void writeLine(int fileNumber, const std::string& text)
{
    appendWrite(fileNumber, text.data(), text.size());
    appendWrite(fileNumber, "\r\n", 2);
}

void writeByte(int fileNumber, int value)
{
    const char byte = static_cast<char>(value & 0xFF);
    appendWrite(fileNumber, &byte, 1);
}

void writeWord(int fileNumber, int value)
{
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    appendWrite(fileNumber, bytes, 2);
}

} // namespace oxlo::platform
