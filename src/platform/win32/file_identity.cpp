// Which file a path names, and the moves that finish a copy, on the wide Win32 functions: the
// identity of a file decides "same", never the spelling of its path.
#include "platform/services.h"
#include "platform/system_primitives.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>

namespace oxlo::platform {
namespace {

using win32::wide;

// No access is asked for, and every kind of sharing is allowed, so a file that another program
// holds open is looked at too; backup semantics let a folder be opened.
bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info)
{
    const win32::UniqueHandle file(::CreateFileW(
        wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ::GetFileInformationByHandle(file.get(), info) != 0;
}

bool writableFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

} // namespace

bool sameFile(const std::string& first, const std::string& second)
{
    BY_HANDLE_FILE_INFORMATION one{}, other{};
    return fileIdentity(first, &one) && fileIdentity(second, &other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

int replaceFile(const std::string& from, const std::string& to)
{
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    if (!writableFile(source))
        return 0;
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && !writableFile(target))
        return 0;
    return ::MoveFileExW(source.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 1
               : 0;
}

raw::NewFile raw::createNewRaw(const std::string& path)
{
    const win32::UniqueHandle file(::CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return NewFile::Created;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::Exists
                                                                       : NewFile::Failed;
}

} // namespace oxlo::platform
