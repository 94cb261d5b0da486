// Test folders on Windows: under the temporary folder, one per test process. Stand-in programs
// run from the build folder, which Wine shows as drive Z:.
#include "support/test_folder.h"
#include "support/test_host.h"

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <random>
#include <system_error>

namespace oxlo::testing {
namespace fs = std::filesystem;
namespace {

struct TestRootOwner {
    fs::path root;
    TestRootOwner()
    {
        std::random_device random;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root = fs::temp_directory_path() /
               ("oxlo-tests-" + std::to_string(random()) + "-" + std::to_string(stamp % 1000000));
        fs::create_directories(root);
    }
    ~TestRootOwner()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

const fs::path& testRoot()
{
    static TestRootOwner owner;
    return owner.root;
}

} // namespace

void prepareTestHost() { testRoot(); }

std::string freshTestFolder(const std::string& name)
{
    const fs::path folder = testRoot() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return textOfPath(folder);
}

fs::path hostPath(const std::string& windowsPath)
{
    return fs::path(std::u8string(windowsPath.begin(), windowsPath.end()));
}

fs::path trashFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data == nullptr || *data == '\0')
        throw std::runtime_error("XDG_DATA_HOME is not set: Wine's trash cannot be found");
    return fs::path(std::string("Z:") + data) / "Trash" / "files";
}

void emptyTrash() { fs::remove_all(trashFolder().parent_path()); }

WriteBlock::WriteBlock(const std::string& windowsPath) : path_(windowsPath)
{
    const HANDLE file = ::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "WriteBlock " + path_);
    handle_ = file;
}

WriteBlock::~WriteBlock() { ::CloseHandle(static_cast<HANDLE>(handle_)); }

std::string standInProgram(const std::string& name)
{
    std::string path = "Z:" OXLO_STANDIN_FOLDER "/" + name + ".exe";
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string shortPathOf(const std::string& path)
{
    char buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || path == buffer)
        return {};
    return buffer;
}

std::string throughSecondDrive(const std::string& path)
{
    // Under Wine the test prefix links L: to drive C: (tools/wine-env.sh); on Windows a DOS
    // device does it.
    if (::GetFileAttributesA("L:\\") == INVALID_FILE_ATTRIBUTES)
        ::DefineDosDeviceA(0, "L:", "C:\\");
    if (path.size() < 2 || (path[0] != 'C' && path[0] != 'c') || path[1] != ':')
        return {};
    const std::string second = "L:" + path.substr(2);
    return ::GetFileAttributesA(second.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : second;
}

} // namespace oxlo::testing
