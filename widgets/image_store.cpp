// CImageStore; see image_store.h. Images live until the process ends.
#include "widgets/image_store.h"

CImageStore theImageStore;

CDibImage* CImageStore::CreateImage(UINT bitmapId) {
    if (!ImageStoreHasRoom(m_count))
        return &m_overflowImage;
    CDibImage* image = new CDibImage();
    m_images[m_count] = image;
    image->Load(std::string(), bitmapId);
    ++m_count;
    return image;
}

void CImageStore::ProbeButtonFace(HDC dc) {
    if (m_keyColor != KEY_COLOR_UNSET)
        return;
    const COLORREF saved = ::GetPixel(dc, 0, 0);
    ::SetPixel(dc, 0, 0, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF shown = ::GetPixel(dc, 0, 0);
    ::SetPixel(dc, 0, 0, saved);
    m_keyColor = KeyColorFromFace(shown);
}
