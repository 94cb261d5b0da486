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

// Whether the file begins as a TYP whose header holds both IDs.
bool laidOutAsTyp(const std::string& typPath, bool* readable) {
    *readable = platform::openFileForReading(kTypFileNumber, typPath) != 0;
    if (!*readable) return false;
    unsigned char start[2 + kSignatureLength] = {};
    const std::size_t got = platform::readData(kTypFileNumber, start, sizeof start);
    platform::closeFile(kTypFileNumber);
    const int headerLength = start[0] | (start[1] << 8);
    return got == sizeof start && std::memcmp(start + 2, kSignature, kSignatureLength) == 0 &&
           headerLength >= kShortestHeader;
}

} // namespace

TypStamp stampTypIds(const std::string& typPath, std::uint16_t familyId, std::uint16_t productId) {
    if (platform::fileSize(typPath) < kShortestHeader) return TypStamp::NotATyp;
    bool readable = false;
    if (!laidOutAsTyp(typPath, &readable)) return readable ? TypStamp::NotATyp : TypStamp::Failed;
    if (platform::openFile(kTypFileNumber, typPath) == 0) return TypStamp::Failed;
    // The two fields lie side by side: one seek, two words.
    platform::fileSeek(kTypFileNumber, kTypFamilyIdPosition);
    platform::writeWord(kTypFileNumber, familyId);
    platform::writeWord(kTypFileNumber, productId);
    return platform::closeFile(kTypFileNumber) == 1 ? TypStamp::Stamped : TypStamp::Failed;
}

} // namespace oxlo::mapfile
