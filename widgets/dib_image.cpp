// CDibImage; the pixel arithmetic is in dib_pixels, this file makes the platform calls.
#include "widgets/dib_image.h"

#include "framework/win_app.h"
#include "widgets/dib_pixels.h"
#include "widgets/packed_strip.h"

#include <cstring>
#include <vector>

namespace {

// The whole file at path; false when it cannot be opened or read. Plain Win32 calls: the C++
// file streams would link the locale machinery into the program for this one read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    uint8_t chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    ::CloseHandle(file);
    return ok;
}

// The bytes of the program's resource of that id and type; null when it is missing.
const uint8_t* ResourceBytes(UINT id, LPCSTR type, std::size_t& length) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(id), type);
    if (resource == nullptr)
        return nullptr;
    HGLOBAL handle = ::LoadResource(instance, resource);
    const void* data = handle != nullptr ? ::LockResource(handle) : nullptr;
    length = data != nullptr ? ::SizeofResource(instance, resource) : 0;
    return static_cast<const uint8_t*>(data);
}

} // namespace

CDibImage::CDibImage() {
    std::memset(&m_bmi, 0, sizeof(m_bmi));
}

CDibImage::~CDibImage() {
    Release();
}

bool CDibImage::Create(int width, int height) {
    Release();
    std::memset(&m_bmi, 0, sizeof(m_bmi));
    m_bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    m_bmi.bmiHeader.biWidth = width;
    m_bmi.bmiHeader.biHeight = height;
    m_bmi.bmiHeader.biPlanes = 1;
    m_bmi.bmiHeader.biBitCount = 32;
    m_bmi.bmiHeader.biCompression = BI_RGB;
    m_bmi.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    m_hBitmap = ::CreateDIBSection(nullptr, &m_bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_hBitmap == nullptr || bits == nullptr) {
        Release();
        return false;
    }
    m_bits = static_cast<uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

bool CDibImage::Release() {
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
    return true;
}

bool CDibImage::LoadFromPackedDib(const uint8_t* dib, std::size_t length) {
    DibSource source;
    if (!LocatePackedDib(dib, length, source))
        return false;
    if (!Create(source.width, source.height))
        return false;
    return ConvertRows24To32(
        source, m_bits, static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
}

bool CDibImage::LoadFromCompactStrip(const uint8_t* data, std::size_t length) {
    std::vector<uint8_t> inflated;
    PackedStrip strip;
    if (!InflatePackedStrip(data, length, inflated, strip))
        return false;
    if (!Create(strip.width, strip.Height()))
        return false;
    return ExpandPackedStrip(
        strip, m_bits, static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
}

bool CDibImage::Load(const std::string& path, UINT resourceId) {
    if (resourceId != 0) {
        std::size_t length = 0;
        if (const uint8_t* dib = ResourceBytes(resourceId, RT_BITMAP, length))
            return LoadFromPackedDib(dib, length);
        if (const uint8_t* strip = ResourceBytes(resourceId, RT_RCDATA, length))
            return LoadFromCompactStrip(strip, length);
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    if (!IsBitmapFileHeader(bytes.data(), bytes.size()))
        return false;
    return LoadFromPackedDib(bytes.data() + BITMAP_FILE_HEADER_SIZE,
                             bytes.size() - BITMAP_FILE_HEADER_SIZE);
}

void CDibImage::RecolorKey(int x, int y, COLORREF newColor, bool blend) {
    ::RecolorKey(m_bits, m_width, m_height, x, y, newColor, blend);
}
