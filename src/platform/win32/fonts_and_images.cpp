// Fonts and icon images of ui.h, owned by the window layer until released.
#include "platform/win32/wide_text.h"
#include "platform/win32/window_layer_state.h"

#include <cstring>
#include <vector>

namespace oxlo::platform {

using namespace win32;

namespace {

std::uint16_t word(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

std::uint32_t dword(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(word(at)) | static_cast<std::uint32_t>(word(at + 2)) << 16;
}

struct IconImage {
    std::size_t offset = 0;
    std::size_t size = 0;
};

// The images listed by an ICO file's directory, each checked to lie inside the bytes.
std::vector<IconImage> iconImages(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    std::vector<IconImage> images;
    if (!data || size < kHeader || word(data) != 0 || word(data + 2) != 1) return images;
    const std::size_t count = word(data + 4);
    if (size < kHeader + count * kEntry) return images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = data + kHeader + i * kEntry;
        const std::size_t bytes = dword(entry + 8);
        const std::size_t offset = dword(entry + 12);
        if (bytes == 0 || offset > size || bytes > size - offset) return {};
        images.push_back({offset, bytes});
    }
    return images;
}

// LookupIconIdFromDirectoryEx reads the resource form of the directory (14-byte entries ending
// in an id instead of a file offset): rebuild it with id = index + 1 and let Windows pick the
// image that suits the display.
std::size_t bestIconImage(const std::uint8_t* data, std::size_t count) {
    std::vector<std::uint8_t> directory(6 + count * 14);
    std::memcpy(directory.data(), data, 6);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* to = directory.data() + 6 + i * 14;
        std::memcpy(to, data + 6 + i * 16, 12);
        to[12] = static_cast<std::uint8_t>((i + 1) & 0xFF);
        to[13] = static_cast<std::uint8_t>((i + 1) >> 8);
    }
    const int id = ::LookupIconIdFromDirectoryEx(directory.data(), TRUE, 0, 0, LR_DEFAULTCOLOR);
    return (id >= 1 && static_cast<std::size_t>(id) <= count) ? static_cast<std::size_t>(id - 1) : 0;
}

} // namespace

FontHandle loadFont(const std::string& face, int points, bool bold) {
    HDC screen = ::GetDC(nullptr);
    const int pixelsPerInch = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    HFONT font = ::CreateFontW(-::MulDiv(points, pixelsPerInch, 72), 0, 0, 0,
                               bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, win32::wide(face).c_str());
    if (!font) return 0;
    layer().fonts.emplace_back(font);
    return static_cast<FontHandle>(layer().fonts.size());
}

ImageHandle loadIconImage(const std::uint8_t* data, std::size_t size) {
    const std::vector<IconImage> images = iconImages(data, size);
    if (images.empty()) return 0;
    const IconImage& chosen = images[bestIconImage(data, images.size())];
    // CreateIconFromResourceEx takes a non-const pointer; hand it a copy.
    std::vector<BYTE> bits(data + chosen.offset, data + chosen.offset + chosen.size);
    HICON icon = ::CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE,
                                            0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (!icon) return 0;
    layer().images.emplace_back(icon);
    return static_cast<ImageHandle>(layer().images.size());
}

void releaseImages() { layer().images.clear(); }

void releaseFonts() { layer().fonts.clear(); }

} // namespace oxlo::platform
