// RAII owners for the Win32 handles of the platform layer, so that no early return leaks one.
#pragma once

#include <windows.h>

#include <utility>

namespace oxlo::platform::win32 {

// Owns a handle that Traits::release frees unless Traits::empty says there is none.
template <typename Traits>
class Owner {
public:
    using Value = typename Traits::Value;

    Owner() = default;
    explicit Owner(Value value) : value_(value) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& other) noexcept : value_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Owner() { reset(); }

    Value get() const { return value_; }
    explicit operator bool() const { return !Traits::empty(value_); }
    Value release() { return std::exchange(value_, Traits::none()); }
    void reset(Value value = Traits::none()) {
        Value old = std::exchange(value_, value);
        if (!Traits::empty(old)) Traits::release(old);
    }

private:
    Value value_ = Traits::none();
};

// Kernel objects: CreateFile and FindFirstFile say "none" with INVALID_HANDLE_VALUE, the rest
// with NULL; both count as empty.
struct KernelTraits {
    using Value = HANDLE;
    static HANDLE none() { return nullptr; }
    static bool empty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void release(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits : KernelTraits {
    static void release(HANDLE h) { ::FindClose(h); }
};

template <typename T, BOOL (WINAPI *Free)(T)>
struct PointerTraits {
    using Value = T;
    static T none() { return nullptr; }
    static bool empty(T h) { return h == nullptr; }
    static void release(T h) { Free(h); }
};

inline BOOL WINAPI deleteFontObject(HFONT font) { return ::DeleteObject(font); }

using UniqueHandle = Owner<KernelTraits>;
using UniqueFind = Owner<FindTraits>;
using UniqueWindow = Owner<PointerTraits<HWND, ::DestroyWindow>>;
using UniqueFont = Owner<PointerTraits<HFONT, deleteFontObject>>;
using UniqueIcon = Owner<PointerTraits<HICON, ::DestroyIcon>>;
using UniqueLibrary = Owner<PointerTraits<HMODULE, ::FreeLibrary>>;

} // namespace oxlo::platform::win32
