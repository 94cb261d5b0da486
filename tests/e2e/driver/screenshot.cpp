#include "driver/driver.h"
#include "driver/failure.h"

#include <fstream>
#include <memory>
#include <utility>
#include <vector>

namespace oxlo::e2e {

namespace {

struct ScreenDcRelease {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BrushDelete {
    void operator()(HBRUSH brush) const { DeleteObject(brush); }
};
struct ObjectDelete {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};

// The pixels of a `width` x `height` bitmap selected in nothing, top row first.
std::vector<DWORD> pixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                   DIB_RGB_COLORS))
        pixels.clear();
    return pixels;
}

} // namespace

int messageBoxIcon(HWND box) {
    // Wine's MessageBox shows its icon in static 1088 (stc1).
    HWND icon = GetDlgItem(box, 0x440);
    RECT bounds{};
    if (!icon || !IsWindowVisible(icon) || !GetWindowRect(icon, &bounds)) return 0;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    std::unique_ptr<HDC__, ScreenDcRelease> screen(GetDC(nullptr));
    std::unique_ptr<HDC__, DcDelete> memory(CreateCompatibleDC(screen.get()));
    std::unique_ptr<HBITMAP__, ObjectDelete> bitmap(
        CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen || !memory || !bitmap || width <= 0 || height <= 0) return 0;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), bounds.left, bounds.top, SRCCOPY);
    SelectObject(memory.get(), previous);
    const std::vector<DWORD> shown = pixelsOf(memory.get(), bitmap.get(), width, height);
    if (shown.empty()) return 0;
    // Each standard icon drawn as the static draws it, on the background its corner shows.
    const COLORREF background = RGB(GetBValue(shown[0]), GetGValue(shown[0]), GetRValue(shown[0]));
    const std::pair<int, LPCSTR> candidates[] = {{MB_ICONHAND, IDI_HAND},
                                                  {MB_ICONQUESTION, IDI_QUESTION},
                                                  {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
                                                  {MB_ICONASTERISK, IDI_ASTERISK}};
    for (const auto& [flag, name] : candidates) {
        previous = SelectObject(memory.get(), bitmap.get());
        const RECT all{0, 0, width, height};
        std::unique_ptr<HBRUSH__, BrushDelete> brush(CreateSolidBrush(background));
        FillRect(memory.get(), &all, brush.get());
        DrawIconEx(memory.get(), 0, 0, LoadIconA(nullptr, name), width, height, 0, nullptr,
                   DI_NORMAL);
        SelectObject(memory.get(), previous);
        if (pixelsOf(memory.get(), bitmap.get(), width, height) == shown) return flag;
    }
    return 0;
}

void saveScreenshot(HWND window, const std::string& bmpPath) {
    RECT bounds{};
    if (!GetWindowRect(window, &bounds)) failWithError("no screenshot: no window", GetLastError());
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) fail("no screenshot: " + nameWindow(window) + " has no size");

    std::unique_ptr<HDC__, ScreenDcRelease> screen(GetDC(nullptr));
    std::unique_ptr<HDC__, DcDelete> memory(CreateCompatibleDC(screen.get()));
    std::unique_ptr<HBITMAP__, ObjectDelete> bitmap(
        CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen || !memory || !bitmap) fail("no screenshot: cannot create the drawing surfaces");
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    // What the screen shows, so windows of other processes and their frames are included.
    const bool copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), bounds.left,
                               bounds.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory.get(), previous);
    if (!copied) failWithError("no screenshot of " + nameWindow(window), GetLastError());

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = ((width * 3) + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    if (!GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
        fail("no screenshot: cannot read the pixels of " + nameWindow(window));
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(bmpPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    if (!out) fail("cannot write screenshot " + bmpPath);
}

} // namespace oxlo::e2e
