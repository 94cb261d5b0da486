// readLine over a file of any bytes, read to its end as the program reads text files. Input: one
// control byte, then the file's bytes. A control byte 8k + 1 puts the bytes behind a long first
// line so that the numbered files' 4096-byte read-ahead ends at byte k: a CR LF split between two
// fills must stay one line end. (Rarely, as every byte of that line costs time.)
//
// services.h promises lines without their ends, the ends being CR, LF, CR LF and NUL. So each
// call takes at least one byte while the file is not at its end, and the lines joined with the
// ends they replaced (a CR followed by LF being one end) give back the file.
#include "fuzz_support.h"

#include "platform/services.h"

#include <string>
#include <vector>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

const std::string kText = "C:\\fuzz.txt";
constexpr int kFileNumber = 3;
constexpr std::size_t kReadAhead = 4096;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// The length of the line end at `position` of `file`, 0 when none starts there.
std::size_t lineEndAt(const std::string& file, std::size_t position)
{
    if (position >= file.size() || !isLineEnd(file[position]))
        return 0;
    return file[position] == '\r' && position + 1 < file.size() && file[position + 1] == '\n' ? 2
                                                                                              : 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    oxlo::fuzz::prepareHost();
    const auto [text, lead] = oxlo::fuzz::placeContent(data, size, kReadAhead, 8);
    std::string file(lead, 'x');
    file.append(text);
    oxlo::fuzz::writeHostFile(kText, file);

    require(oxlo::platform::openFileForReading(kFileNumber, kText) == 1,
            [&] { return "the file did not open"; });
    std::size_t position = 0; // where the next line must start in the file
    std::size_t calls = 0;
    while (oxlo::platform::endOfFile(kFileNumber) == 0) {
        require(++calls <= file.size() + 1,
                [&] { return "more than one readLine per byte: " + printable(file); });
        const std::string line = oxlo::platform::readLine(kFileNumber);
        require(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos, [&] {
            return "line " + std::to_string(calls) + " holds a line end: " + printable(line);
        });
        require(file.compare(position, line.size(), line) == 0, [&] {
            return "line " + std::to_string(calls) + " '" + printable(line) +
                   "' is not the text at " + std::to_string(position) + " of " + printable(file);
        });
        position += line.size();
        const std::size_t end = lineEndAt(file, position);
        require(end != 0 || position == file.size(), [&] {
            return "line " + std::to_string(calls) + " ended before a line end, at " +
                   std::to_string(position) + " of " + printable(file);
        });
        position += end;
    }
    oxlo::platform::closeFile(kFileNumber);
    require(position == file.size(), [&] {
        return "the lines end at " + std::to_string(position) + " of " + printable(file);
    });
    return 0;
}
