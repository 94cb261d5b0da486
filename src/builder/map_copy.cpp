#include "builder/map_copy.h"

#include "builder/build_progress.h"

#include "platform/services.h"
#include "platform/ui.h"

#include <cstdint>

namespace oxlo::builder {

namespace {

// File numbers of their own: the control file (0) is open while the maps are copied.
constexpr int kSourceFile = 3;
constexpr int kTargetFile = 4;

bool copyPieces(std::int64_t size) {
    std::string piece(kMapCopyPiece, '\0');
    for (std::int64_t copied = 0; copied < size;) {
        const std::size_t got = platform::readData(kSourceFile, piece.data(), piece.size());
        if (got == 0) return false; // the map ended early or could not be read
        piece.resize(got);
        platform::writeString(kTargetFile, piece);
        piece.resize(kMapCopyPiece);
        copied += static_cast<std::int64_t>(got);
        platform::keepWindowsPainted();
    }
    return true;
}

} // namespace

bool copyMapInPieces(const std::string& source, const std::string& target, int number, int count) {
    buildProgress().show("Copying " + platform::textFromNumber(number) + " of " +
                         platform::textFromNumber(count) + ": " + platform::getFilePart(source));
    platform::keepWindowsPainted();
    const std::int64_t size = platform::fileSize(source);
    if (size < 0 || platform::openFileForReading(kSourceFile, source) == 0) return false;
    // The target is replaced only by a complete copy: a source that is the target itself under
    // another name is never emptied, and a failure leaves the target as it was.
    const std::string scratch = platform::createScratchBeside(target);
    if (scratch.empty() || platform::openFile(kTargetFile, scratch) == 0) {
        platform::closeFile(kSourceFile);
        if (!scratch.empty()) platform::deleteFile(scratch);
        return false;
    }
    const bool copied = copyPieces(size);
    const bool read = platform::closeFile(kSourceFile) != 0;
    const bool written = platform::closeFile(kTargetFile) != 0;
    if (copied && read && written && platform::replaceFile(scratch, target) != 0) return true;
    platform::deleteFile(scratch);
    return false;
}

} // namespace oxlo::builder
