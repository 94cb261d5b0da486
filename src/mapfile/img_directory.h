// The directory of a Garmin IMG file: which subfiles (name and type, as "63240001" "TRE") it
// holds. Read for the GPS map file that mkgmap writes and for the maps that go into it.
//
// The file starts with a header: at 0x00 a byte that every byte of the file is XORed with, at
// 0x10 "DSKIMG", at 0x40 the 512-byte unit where the directory starts and at 0x61/0x62 the two
// exponents whose sum gives the block size. The directory is a run of 512-byte entries: a flag
// byte (1: in use), an 8-byte name, a 3-byte type, the 32-bit size and the 16-bit part number,
// then the numbers of the blocks that hold the data. The first entry, with a blank name, stands
// for the header and the directory themselves: its size is where the subfiles' data begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace oxlo::mapfile {

struct ImgSubfile {
    std::string name; // up to 8 characters, blanks at the end dropped
    std::string type; // 3 characters
    std::uint32_t size = 0;
};

// The first bytes of a file that the header and the first directory entry need at most.
inline constexpr std::size_t kImgHeadSize = 256 * 512;
// A bigger directory than this is not read (a 4 GB file of small blocks needs about 20 MB).
inline constexpr std::size_t kMaxImgDirectorySize = 64 * 1024 * 1024;

// The bytes from the start of the file up to the end of the directory, as the header and first
// entry within `head` tell; nothing when `head` holds no IMG header or first entry.
std::optional<std::size_t> imgDirectoryEnd(std::span<const std::uint8_t> head);

// The subfiles whose entries lie whole in `bytes` (the start of a file) and before the end of
// the directory, in the order of their entries, each once (the entries for further parts of a
// subfile are skipped). Nothing when `bytes` hold no IMG header or first entry.
std::optional<std::vector<ImgSubfile>> readImgDirectory(std::span<const std::uint8_t> bytes);

// readImgDirectory over the start of the file; nothing also when the file cannot be read or its
// directory ends after the file or past kMaxImgDirectorySize.
std::optional<std::vector<ImgSubfile>> readImgDirectoryOf(const std::string& path);

} // namespace oxlo::mapfile
