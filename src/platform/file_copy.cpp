// Copies that never leave a target cut short: written into a scratch file beside the target and
// moved over it when complete.
#include "platform/services.h"
#include "platform/system_primitives.h"

namespace oxlo::platform {
namespace {

// Names tried before giving up: more scratch files than this are left only by crashes.
constexpr int kScratchNames = 1000;
constexpr std::size_t kCopyPiece = 1 << 16;

bool copyContents(const std::string& source, const std::string& target)
{
    const raw::File from = raw::openRaw(source, raw::OpenMode::ReadExisting);
    if (from == raw::kNoFile)
        return false;
    const raw::File to = raw::openRaw(target, raw::OpenMode::ReadWriteAlways);
    bool copied = to != raw::kNoFile;
    std::string piece(kCopyPiece, '\0');
    while (copied) {
        const std::size_t got = raw::readRaw(from, piece.data(), piece.size());
        if (got == 0)
            break;
        copied = raw::writeRaw(to, piece.data(), got);
    }
    // A read that failed looks like the end: the sizes tell them apart.
    copied = copied && raw::tellRaw(to) == raw::tellRaw(from) && fileSize(source) == raw::tellRaw(to);
    raw::closeRaw(from);
    raw::closeRaw(to);
    return copied;
}

// Reads until `length` bytes are in or the file ends; the bytes read.
std::size_t readFully(raw::File file, char* buffer, std::size_t length)
{
    std::size_t got = 0;
    while (got < length) {
        const std::size_t piece = raw::readRaw(file, buffer + got, length - got);
        if (piece == 0)
            break;
        got += piece;
    }
    return got;
}

} // namespace

bool sameContents(const std::string& first, const std::string& second)
{
    const std::int64_t size = fileSize(first);
    if (size < 0 || fileSize(second) != size)
        return false;
    const raw::File one = raw::openRaw(first, raw::OpenMode::ReadExisting);
    const raw::File other = one == raw::kNoFile ? raw::kNoFile
                                                : raw::openRaw(second, raw::OpenMode::ReadExisting);
    bool same = other != raw::kNoFile;
    std::string a(kCopyPiece, '\0'), b(kCopyPiece, '\0');
    std::int64_t compared = 0;
    while (same && compared < size) {
        const std::size_t got = readFully(one, a.data(), a.size());
        same = got != 0 && readFully(other, b.data(), got) == got && a.compare(0, got, b, 0, got) == 0;
        compared += static_cast<std::int64_t>(got);
    }
    // A read that fails looks like the end: only the whole size counts.
    same = same && compared == size;
    if (one != raw::kNoFile)
        raw::closeRaw(one);
    if (other != raw::kNoFile)
        raw::closeRaw(other);
    return same;
}

std::string createScratchBeside(const std::string& target)
{
    const std::size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int number = 1; number <= kScratchNames; ++number) {
        const std::string scratch = folder + "~oxlo" + textFromNumber(number) + ".tmp";
        switch (raw::createNewRaw(scratch)) {
        case raw::NewFile::Created:
            return scratch;
        case raw::NewFile::Failed:
            return {};
        case raw::NewFile::Exists:
            break;
        }
    }
    return {};
}

int copyFile(const std::string& source, const std::string& target)
{
    if (sameFile(source, target))
        return 0;
    const std::string scratch = createScratchBeside(target);
    if (scratch.empty())
        return 0;
    if (copyContents(source, scratch) && replaceFile(scratch, target) != 0)
        return 1;
    deleteFile(scratch);
    return 0;
}

} // namespace oxlo::platform
