// CStatusLight: see status_light.h.
#include "watch/status_light.h"

#include "res/resource.h"
#include "widgets/art_set.h"
#include "widgets/image_store.h"

namespace {

// The light of the picture set the buttons use, or else the 100 % one.
void LoadLight(CBitmap& bitmap, UINT id) {
    if (!bitmap.LoadBitmap(ArtResourceId(id, theImageStore.ArtPercent())))
        bitmap.LoadBitmap(id);
}

} // namespace

void CStatusLight::LoadPictures() {
    LoadLight(m_bmpFlash, IDB_LIGHT_FLASH);
    LoadLight(m_bmpGreen, IDB_LIGHT_GREEN);
    LoadLight(m_bmpRed, IDB_LIGHT_RED);
    LoadLight(m_bmpGrey, IDB_LIGHT_GREY);
    LoadLight(m_bmpAmber, IDB_LIGHT_AMBER);
}

void CStatusLight::Show(int bitmapId) {
    if (bitmapId == m_nShown)
        return;
    m_nShown = bitmapId;
    switch (bitmapId) {
    case IDB_LIGHT_RED:
        SetBitmap(m_bmpRed);
        break;
    case IDB_LIGHT_GREEN:
        SetBitmap(m_bmpGreen);
        break;
    case IDB_LIGHT_FLASH:
        SetBitmap(m_bmpFlash);
        break;
    case IDB_LIGHT_AMBER:
        SetBitmap(m_bmpAmber);
        break;
    default:
        SetBitmap(m_bmpGrey);
        break;
    }
}
