// Test folders on the portable platform: each test process maps its drives onto a fresh host
// folder, removed again when the process ends.
#include "support/test_folder.h"
#include "support/test_host.h"

#include "platform/portable/portable_files.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace oxlo::testing {
namespace fs = std::filesystem;
namespace {

struct HostRootOwner {
    fs::path root;
    HostRootOwner()
    {
        std::string pattern = (fs::temp_directory_path() / "oxlo-tests-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        root = pattern;
        platform::setHostRoot(root);
    }
    ~HostRootOwner()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

} // namespace

void prepareTestHost() { static HostRootOwner owner; }

std::string freshTestFolder(const std::string& name)
{
    prepareTestHost();
    const std::string folder = "C:\\oxlo-tests\\" + name;
    const fs::path host = platform::hostPathOf(folder);
    fs::remove_all(host);
    fs::create_directories(host);
    return folder;
}

fs::path trashFolder() { return platform::hostRoot() / "Trash"; }

void emptyTrash() { fs::remove_all(trashFolder()); }

fs::path hostPath(const std::string& windowsPath)
{
    prepareTestHost();
    return platform::hostPathOf(windowsPath);
}

WriteBlock::WriteBlock(const std::string& windowsPath) : path_(windowsPath)
{
    fs::permissions(hostPath(path_), fs::perms::owner_write | fs::perms::group_write |
                                         fs::perms::others_write,
                    fs::perm_options::remove);
}

WriteBlock::~WriteBlock()
{
    std::error_code ignored;
    fs::permissions(hostPath(path_), fs::perms::owner_write, fs::perm_options::add, ignored);
}

std::string standInProgram(const std::string& name)
{
    prepareTestHost();
    // The host binary, reached under a Windows name with ".exe" as the product would see it.
    const std::string program = "C:\\oxlo-standins\\" + name + ".exe";
    const fs::path link = platform::hostPathOf(program);
    if (!fs::exists(fs::symlink_status(link))) {
        fs::create_directories(link.parent_path());
        fs::create_symlink(fs::path(OXLO_STANDIN_FOLDER) / name, link);
    }
    return program;
}

std::string shortPathOf(const std::string&) { return {}; }

std::string throughSecondDrive(const std::string& path)
{
    prepareTestHost();
    const fs::path second = platform::hostRoot() / "L";
    std::error_code error;
    if (!fs::exists(fs::symlink_status(second)))
        fs::create_directory_symlink(platform::hostPathOf("C:\\"), second, error);
    return error || path.rfind("C:", 0) != 0 ? std::string() : "L:" + path.substr(2);
}

} // namespace oxlo::testing
