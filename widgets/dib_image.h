// CDibImage: one 32-bit device-independent bitmap section with its pixel buffer, loaded from a
// 24-bit bitmap resource or file, or from a compact strip resource, and recoloured to the key
// colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CDibImage {
public:
    CDibImage();
    virtual ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // A new bitmap section of the size; false, and no bitmap, when it cannot be made.
    bool Create(int width, int height);
    bool Release();
    // From the resource when resourceId is not 0, else from the bitmap file at path. The
    // resource is a bitmap, or else a compact strip (RCDATA, see packed_strip.h). Data that is
    // not a 24-bit bitmap whose rows lie inside it, or not a whole compact strip, is refused.
    bool Load(const std::string& path, UINT resourceId);
    // Replaces the colour of the pixel at buffer column x, buffer row y by newColor.
    void RecolorKey(int x, int y, COLORREF newColor, bool blend);

    uint32_t* m_bits = nullptr;
    BITMAPINFO m_bmi;
    HBITMAP m_hBitmap = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;

private:
    bool LoadFromPackedDib(const uint8_t* dib, std::size_t length);
    bool LoadFromCompactStrip(const uint8_t* data, std::size_t length);
};
