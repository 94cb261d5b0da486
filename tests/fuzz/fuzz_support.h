// Shared by the fuzz targets: the portable platform's drives on a host folder of their own, files
// written and read around the services under test, and the stop on a broken property.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace oxlo::fuzz {

// Maps the drives onto a fresh host folder (under /dev/shm when there is one: every run writes a
// file), removed when the process ends. Each call after the first only resets the current folder
// to "C:\".
void prepareHost();

// Writes `bytes` behind `leadingZeros` zero bytes, which take no time to write: the file has a
// hole there.
void writeHostFile(const std::string& windowsPath, std::string_view bytes,
                   std::size_t leadingZeros = 0);
// The file's bytes; false when it cannot be read.
bool readHostFile(const std::string& windowsPath, std::string* bytes);
bool hostFileExists(const std::string& windowsPath);

// Inputs made of a control byte and then the content of a file. A control byte step * k + 1 puts
// the content `boundary - k` bytes into the file, so that a buffer of `boundary` bytes that the
// code under test fills from the file's start ends at content byte k; any other control byte puts
// it at the start. `step` chooses how often that happens and how far k reaches (255 / step).
struct PlacedContent {
    std::string_view content;
    std::size_t position = 0; // of the content in the file
};
PlacedContent placeContent(const std::uint8_t* data, std::size_t size, std::size_t boundary,
                           unsigned step);

// Stops the run as a crash, so that libFuzzer keeps the input.
[[noreturn]] void fail(const std::string& property);
// `describe` gives the text of the broken property; it runs only then, since the texts quote whole
// inputs and forming them on every check would cost more than the checks.
template <typename Describe> void require(bool holds, Describe&& describe)
{
    if (!holds)
        fail(describe());
}

// The input as text, for the messages of fail().
std::string printable(std::string_view bytes);

} // namespace oxlo::fuzz
