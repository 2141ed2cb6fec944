// CImageStore; see image_store.h. An image lives until its button goes, or to the end of the
// process.
#include "widgets/image_store.h"

#include "widgets/art_set.h"

CImageStore theImageStore;

CDibImage* CImageStore::CreateImage(UINT bitmapId) {
    int32_t slot = 0;
    while (slot < m_count && m_images[slot] != nullptr)
        ++slot;
    if (slot == m_count) {
        if (!ImageStoreHasRoom(m_count))
            return &m_overflowImage;
        ++m_count;
    }
    CDibImage* image = new CDibImage();
    m_images[slot] = image;
    const UINT scaledId = ArtResourceId(bitmapId, ArtPercent());
    if (scaledId == bitmapId || !image->Load(std::string(), scaledId))
        image->Load(std::string(), bitmapId);
    return image;
}

void CImageStore::ReleaseImage(CDibImage* image) {
    for (int32_t slot = 0; slot < m_count; ++slot) {
        if (m_images[slot] == image) {
            delete image;
            m_images[slot] = nullptr;
            return;
        }
    }
}

int32_t CImageStore::ImagesHeld() const {
    int32_t held = 0;
    for (int32_t slot = 0; slot < m_count; ++slot)
        held += m_images[slot] != nullptr ? 1 : 0;
    return held;
}

void CImageStore::ProbeButtonFace(HDC dc) {
    if (m_keyColor != KEY_COLOR_UNSET)
        return;
    // A pixel that cannot be read (clipped away, or a device without pixels) says nothing:
    // the key stays unknown and the next paint asks again.
    const COLORREF saved = ::GetPixel(dc, 0, 0);
    if (saved == CLR_INVALID)
        return;
    ::SetPixel(dc, 0, 0, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF shown = ::GetPixel(dc, 0, 0);
    ::SetPixel(dc, 0, 0, saved);
    if (shown == CLR_INVALID)
        return;
    m_keyColor = KeyColorFromFace(shown);
}

int32_t CImageStore::ArtPercent() {
    if (m_artPercent == 0) {
        HDC screen = ::GetDC(nullptr);
        const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : BASE_DPI;
        if (screen != nullptr)
            ::ReleaseDC(nullptr, screen);
        m_artPercent = ArtPercentForDpi(dpi);
    }
    return m_artPercent;
}
