// Pixels for the Wine tests; see widget_canvas.h.
#include "tests/wine/widget_canvas.h"

#include <algorithm>
#include <utility>

uint32_t WidgetPixelWord(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) |
           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

namespace {

BITMAPINFO ThirtyTwoBitInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

WidgetCanvas::WidgetCanvas(int width, int height, uint32_t fill) {
    // Top-down, so that the tests index the rows as they are seen.
    BITMAPINFO info = ThirtyTwoBitInfo(width, -height);
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_dc == nullptr || m_bitmap == nullptr || bits == nullptr)
        return;
    m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    m_bits = static_cast<uint32_t*>(bits);
    m_width = width;
    m_height = height;
    ::SetBkMode(m_dc, TRANSPARENT);
    Fill(fill);
}

WidgetCanvas::~WidgetCanvas() {
    if (m_dc != nullptr && m_oldBitmap != nullptr)
        ::SelectObject(m_dc, m_oldBitmap);
    if (m_bitmap != nullptr)
        ::DeleteObject(m_bitmap);
    if (m_dc != nullptr)
        ::DeleteDC(m_dc);
}

uint32_t WidgetCanvas::At(int x, int y) const {
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0xFFFFFFFF;
    ::GdiFlush();
    return m_bits[static_cast<std::size_t>(y) * m_width + x] & 0x00FFFFFF;
}

void WidgetCanvas::Fill(uint32_t word) {
    if (m_bits == nullptr)
        return;
    ::GdiFlush();
    std::fill(m_bits, m_bits + static_cast<std::size_t>(m_width) * m_height, word);
}

bool WidgetCanvas::CopyFromWindow(HWND window) {
    if (m_bits == nullptr)
        return false;
    HDC source = ::GetDC(window);
    if (source == nullptr)
        return false;
    const BOOL copied = ::BitBlt(m_dc, 0, 0, m_width, m_height, source, 0, 0, SRCCOPY);
    ::ReleaseDC(window, source);
    ::GdiFlush();
    return copied != FALSE;
}

WidgetBitmap WidgetLoadResourceBitmap(UINT id) {
    WidgetBitmap result;
    auto bitmap =
        static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        return result;
    BITMAP description = {};
    if (::GetObjectA(bitmap, sizeof(description), &description) == sizeof(description) &&
        description.bmWidth > 0 && description.bmHeight > 0) {
        BITMAPINFO info = ThirtyTwoBitInfo(description.bmWidth, description.bmHeight);
        std::vector<uint32_t> words(static_cast<std::size_t>(description.bmWidth) *
                                    description.bmHeight);
        HDC screen = ::GetDC(nullptr);
        const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight),
                                     words.data(), &info, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        if (rows == description.bmHeight) {
            for (uint32_t& word : words)
                word &= 0x00FFFFFF;
            result.width = description.bmWidth;
            result.height = description.bmHeight;
            result.words = std::move(words);
        }
    }
    ::DeleteObject(bitmap);
    return result;
}
