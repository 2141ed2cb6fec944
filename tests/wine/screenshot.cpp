// Screenshots of windows; see screenshot.h.
#include "tests/wine/screenshot.h"

#include <zlib.h>

#include <cstdlib>

namespace {

// Wine's own converter of Unix paths, present only when running under Wine.
using UnixToDosFn = WCHAR*(CDECL*)(const char*);

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, static_cast<uint32_t>(
                            crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
}

std::vector<uint8_t> Deflated(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(size);
    if (compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

} // namespace

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);

    // Each row: filter type 0 (none), then its pixels.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    PutChunk(png, "IDAT", Deflated(raw));
    PutChunk(png, "IEND", {});
    return png;
}

std::wstring ScreenshotFolder() {
    const char* value = std::getenv("TARNWELL_SCREENSHOTS");
    if (value == nullptr || *value == '\0')
        return std::wstring();
    if (value[0] == '/') {
        // A Unix path, as the test script gives it.
        auto toDos = reinterpret_cast<UnixToDosFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
        if (toDos != nullptr) {
            if (WCHAR* converted = toDos(value)) {
                std::wstring folder(converted);
                ::HeapFree(::GetProcessHeap(), 0, converted);
                return folder;
            }
        }
    }
    return Widen(value);
}

std::wstring SaveWindowScreenshot(HWND window, const std::string& name) {
    const std::wstring folder = ScreenshotFolder();
    if (folder.empty() || !::IsWindow(window))
        return std::wstring();
    ::CreateDirectoryW(folder.c_str(), nullptr);

    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::GdiFlush();
    RECT frame;
    if (!::GetWindowRect(window, &frame))
        return std::wstring();
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0)
        return std::wstring();

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // The window's own device context reads what the window has drawn, frame and children
    // included, even before the display server has shown it.
    HDC source = ::GetWindowDC(window);
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP section = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool captured = false;
    if (memory != nullptr && section != nullptr && bits != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, section);
        captured = ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
        ::SelectObject(memory, old);
    }
    std::vector<uint8_t> rgb;
    if (captured) {
        const auto* pixels = static_cast<const uint32_t*>(bits);
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        rgb.reserve(count * 3);
        for (std::size_t i = 0; i < count; ++i) {
            rgb.push_back(static_cast<uint8_t>(pixels[i] >> 16));
            rgb.push_back(static_cast<uint8_t>(pixels[i] >> 8));
            rgb.push_back(static_cast<uint8_t>(pixels[i]));
        }
    }
    if (section != nullptr)
        ::DeleteObject(section);
    if (memory != nullptr)
        ::DeleteDC(memory);
    ::ReleaseDC(window, source);
    if (!captured)
        return std::wstring();

    const std::wstring path = folder + L"\\" + Widen(name) + L".png";
    if (!WriteWholeFile(
            path, EncodePng(static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb)))
        return std::wstring();
    return path;
}
