// Pixels for the Wine tests of the picture buttons and the image store: a memory device context
// over a 32-bit DIB section whose pixels the tests read directly, the pixels of a bitmap
// resource as the platform itself decodes them, and the platform's colour values as pixel words.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// A platform colour (0x00BBGGRR) as a 32-bit pixel word (0x00RRGGBB).
uint32_t WidgetPixelWord(COLORREF color);

// A width x height picture of 32-bit pixels selected into a memory DC; row 0 is the top row.
// Text is drawn on it without a background, so that only the glyphs' own pixels change.
class WidgetCanvas {
public:
    WidgetCanvas(int width, int height, uint32_t fill);
    ~WidgetCanvas();
    WidgetCanvas(const WidgetCanvas&) = delete;
    WidgetCanvas& operator=(const WidgetCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsValid() const { return m_bits != nullptr; }

    // The pixel word at (x, y), top byte cleared; 0xFFFFFFFF outside the picture.
    uint32_t At(int x, int y) const;
    void Fill(uint32_t word);
    // Copies what the window's client area shows into the canvas, from its top-left corner.
    bool CopyFromWindow(HWND window);

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    uint32_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// A bitmap as the platform decodes it, bottom row first like a CDibImage buffer: the word of
// buffer column x, buffer row y is words[y * width + x].
struct WidgetBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> words;

    // The pixel at picture column x, picture row y counted from the top.
    uint32_t AtPicture(int x, int yFromTop) const {
        return words[static_cast<std::size_t>(height - 1 - yFromTop) * width + x];
    }
};

// The program's bitmap resource decoded by the platform (LoadImage and GetDIBits), independent
// of the image store's own loader; empty when the resource is missing.
WidgetBitmap WidgetLoadResourceBitmap(UINT id);
