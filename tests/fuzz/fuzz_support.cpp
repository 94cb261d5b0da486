#include "fuzz_support.h"

#include "platform/portable/portable_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace oxlo::fuzz {
namespace fs = std::filesystem;
namespace {

struct HostFolder {
    fs::path root;
    HostFolder()
    {
        std::error_code error;
        const fs::path shm = "/dev/shm";
        const fs::path base = fs::is_directory(shm, error) ? shm : fs::temp_directory_path();
        std::string pattern = (base / "oxlo-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        root = pattern;
    }
    ~HostFolder()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

} // namespace

void prepareHost()
{
    static HostFolder folder;
    platform::setHostRoot(folder.root);
}

void writeHostFile(const std::string& windowsPath, std::string_view bytes, std::size_t leadingZeros)
{
    const std::string host = platform::hostPathOf(windowsPath).string();
    const int file = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = file >= 0 && ::ftruncate(file, static_cast<off_t>(leadingZeros)) == 0;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t put = ::pwrite(file, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(leadingZeros + done));
        if (put < 0 && errno == EINTR) // libFuzzer's timer signal does not restart calls
            continue;
        written = put > 0;
        done += written ? static_cast<std::size_t>(put) : 0;
    }
    if (file >= 0)
        ::close(file);
    if (!written)
        fail("could not write the input file " + windowsPath);
}

bool readHostFile(const std::string& windowsPath, std::string* bytes)
{
    std::ifstream in(platform::hostPathOf(windowsPath), std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool hostFileExists(const std::string& windowsPath)
{
    std::error_code ignored;
    return fs::exists(platform::hostPathOf(windowsPath), ignored);
}

PlacedContent placeContent(const std::uint8_t* data, std::size_t size, std::size_t boundary,
                           unsigned step)
{
    const unsigned control = size == 0 ? 0 : data[0];
    const std::size_t k = control / step;
    return PlacedContent{
        std::string_view(reinterpret_cast<const char*>(data) + 1, size == 0 ? 0 : size - 1),
        control % step == 1 && k <= boundary ? boundary - k : 0};
}

void fail(const std::string& property)
{
    std::fprintf(stderr, "\n*** property broken: %s\n", property.c_str());
    std::abort();
}

std::string printable(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

} // namespace oxlo::fuzz
