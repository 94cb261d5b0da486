#include "driver/remote_memory.h"
#include "driver/driver.h"
#include "driver/failure.h"

#include <vector>

namespace oxlo::e2e {

RemoteMemory::RemoteMemory(DWORD processId, std::size_t size) : size_(size) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                               PROCESS_QUERY_INFORMATION,
                           FALSE, processId);
    if (!process_) failWithError("cannot open process " + std::to_string(processId), GetLastError());
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address_) {
        const DWORD error = GetLastError();
        CloseHandle(process_);
        failWithError("cannot allocate memory in process " + std::to_string(processId), error);
    }
}

RemoteMemory::~RemoteMemory() {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteMemory::write(std::size_t offset, const void* data, std::size_t size) {
    if (offset + size > size_) fail("write past the end of a remote block");
    if (!WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr)) {
        failWithError("cannot write to another process", GetLastError());
    }
}

void RemoteMemory::read(std::size_t offset, void* data, std::size_t size) const {
    if (offset + size > size_) fail("read past the end of a remote block");
    if (!ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr)) {
        failWithError("cannot read from another process", GetLastError());
    }
}

void RemoteMemory::writeText(const std::string& text) {
    write(0, text.c_str(), text.size() + 1);
}

std::string RemoteMemory::readWideText(std::size_t offset) const {
    std::vector<wchar_t> text((size_ - offset) / sizeof(wchar_t) + 1, L'\0');
    read(offset, text.data(), (text.size() - 1) * sizeof(wchar_t));
    return utf8Text(text.data());
}

std::string RemoteMemory::readText(std::size_t offset) const {
    std::vector<char> text(size_ - offset + 1, '\0');
    read(offset, text.data(), size_ - offset);
    return text.data();
}

} // namespace oxlo::e2e
