#include "mapfile/typ_file.h"

#include "platform/services.h"

#include <cstring>

namespace oxlo::mapfile {

namespace {

// Its own number, so that no file the caller has open is closed by ours.
constexpr int kTypFileNumber = 3;

constexpr char kSignature[] = "GARMIN TYP";
constexpr std::size_t kSignatureLength = sizeof kSignature - 1;
// The header must reach past the product ID for both fields to be its own.
constexpr std::int64_t kShortestHeader = kTypProductIdPosition + 2;

using Layout = TypLayout;

// Whether the file, at least as long as a header holding both IDs, begins as such a TYP.
Layout layoutOf(const std::string& typPath) {
    if (platform::openFileForReading(kTypFileNumber, typPath) == 0) return Layout::Unreadable;
    unsigned char start[2 + kSignatureLength] = {};
    std::size_t got = 0;
    for (std::size_t more = 1; got < sizeof start && more != 0; got += more)
        more = platform::readData(kTypFileNumber, start + got, sizeof start - got);
    platform::closeFile(kTypFileNumber);
    // The file is long enough: fewer bytes mean that reading failed.
    if (got != sizeof start) return Layout::Unreadable;
    const int headerLength = start[0] | (start[1] << 8);
    return std::memcmp(start + 2, kSignature, kSignatureLength) == 0 &&
                   headerLength >= kShortestHeader
               ? Layout::Typ
               : Layout::Other;
}

} // namespace

TypLayout typLayout(const std::string& typPath) {
    // A file that cannot be seen is no file known not to be a TYP.
    const std::int64_t size = platform::fileSize(typPath);
    if (size < 0) return Layout::Unreadable;
    return size < kShortestHeader ? Layout::Other : layoutOf(typPath);
}

TypStamp stampTypIds(const std::string& typPath, std::uint16_t familyId, std::uint16_t productId) {
    const Layout layout = typLayout(typPath);
    if (layout != Layout::Typ) return layout == Layout::Other ? TypStamp::NotATyp : TypStamp::Failed;
    if (platform::openFile(kTypFileNumber, typPath) == 0) return TypStamp::Failed;
    // The two fields lie side by side: one seek, two words.
    platform::fileSeek(kTypFileNumber, kTypFamilyIdPosition);
    platform::writeWord(kTypFileNumber, familyId);
    platform::writeWord(kTypFileNumber, productId);
    return platform::closeFile(kTypFileNumber) == 1 ? TypStamp::Stamped : TypStamp::Failed;
}

} // namespace oxlo::mapfile
