// A stand-in outside program for the tests of runProgram and readProgramOutput: writes exact
// bytes to its standard output, chosen by its first argument.
//   crlf      "a" CR LF "b" CR LF
//   endings   "A" CR "B" LF "C" CR LF "D" (every kind of line end, the last line without one)
//   noend     "a" LF "b" (the last line without an end)
//   mixed     "a" CR LF "b", then exits at once
//   big       4000 numbered lines of 40 bytes each with CR LF, 160000 bytes in all
//   silent    nothing, exits at once
//   split     "a" CR, a pause, then LF "b" CR LF (a CR LF pair torn apart by the pipe)
//   longline  200000 "x" without a line end, CR LF, then 65535 "y" and a CR, a pause, then LF
//             "end" (a line longer than any buffer, and a CR LF torn apart right after 64 KiB)
//   args      each further argument on a line of its own, in angle brackets
//   cat NAME  the bytes of the file NAME (relative to the working folder)
//   both      "out 1", "err 1", "out 2", "err 2" as lines, the "err" ones on standard error
//   exit N    "a" CR LF, then exits with status N
#include "binary_stdout.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

void put(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::string numberedLine(int number)
{
    char line[64];
    std::snprintf(line, sizeof line, "line %05d ", number);
    std::string text = line;
    text.append(38 - text.size(), 'x'); // 38 bytes, then CR LF: 40 in all
    return text + "\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    makeStdoutBinary();
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "crlf") {
        put("a\r\nb\r\n");
    } else if (mode == "endings") {
        put("A\rB\nC\r\nD");
    } else if (mode == "noend") {
        put("a\nb");
    } else if (mode == "mixed") {
        put("a\r\nb");
    } else if (mode == "big") {
        std::string all;
        for (int i = 1; i <= 4000; ++i)
            all += numberedLine(i);
        put(all);
    } else if (mode == "silent") {
    } else if (mode == "split") {
        put("a\r");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        put("\nb\r\n");
    } else if (mode == "longline") {
        put(std::string(200000, 'x') + "\r\n");
        put(std::string(65535, 'y') + "\r");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        put("\nend");
    } else if (mode == "args") {
        for (int i = 2; i < argc; ++i)
            put(std::string("<") + argv[i] + ">\r\n");
    } else if (mode == "cat" && argc > 2) {
        std::FILE* file = std::fopen(argv[2], "rb");
        if (file == nullptr)
            return 2;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) != 0)
            put(std::string(buffer, got));
        std::fclose(file);
    } else if (mode == "both") {
        for (const char* number : {"1", "2"}) {
            put(std::string("out ") + number + "\r\n");
            std::fprintf(stderr, "err %s\n", number);
            std::fflush(stderr);
        }
    } else if (mode == "exit" && argc > 2) {
        put("a\r\n");
        return std::atoi(argv[2]);
    } else {
        std::fprintf(stderr, "print_lines: unknown mode \"%s\"\n", mode.c_str());
        return 1;
    }
    return 0;
}
