// A block of memory in another process, for messages whose pointers that process dereferences
// (list view records, BFFM_SETSELECTIONA, CDM_GETFOLDERPATH). Windows copies only the standard
// messages' texts across processes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace oxlo::e2e {

class RemoteMemory {
public:
    RemoteMemory(DWORD processId, std::size_t size);
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory();

    void* address() const { return address_; }
    void write(std::size_t offset, const void* data, std::size_t size);
    void read(std::size_t offset, void* data, std::size_t size) const;
    // A text with its terminator at the start of the block.
    void writeText(const std::string& text);
    // The terminated text at `offset`, at most to the end of the block.
    std::string readText(std::size_t offset = 0) const;
    // The terminated UTF-16 text at `offset`, as UTF-8.
    std::string readWideText(std::size_t offset) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace oxlo::e2e
