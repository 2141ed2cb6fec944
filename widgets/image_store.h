// CImageStore: every button image the program makes, and the key colour to which button
// backgrounds are recoloured, learnt from the colour the display shows for button faces. Its
// images come from the picture set drawn for the system's scaling (art_set.h).
#pragma once

#include "widgets/dib_image.h"
#include "widgets/dib_pixels.h"

#include <windows.h>

class CImageStore {
public:
    CImageStore() = default;
    CImageStore(const CImageStore&) = delete;
    CImageStore& operator=(const CImageStore&) = delete;

    // A new image loaded from the bitmap resource (its 100 % id) of the chosen picture set, in
    // the first slot a released image left free, else after the last. A picture missing from
    // the set is taken from the 100 % set. The store has room for 4096 images; past that it hands
    // out one shared empty image instead of writing past its list.
    CDibImage* CreateImage(UINT bitmapId);
    // Frees an image whose button has gone and leaves its slot for the next one, so that
    // opening a dialog again and again neither grows the process nor fills the store. An image
    // the store does not hold is left alone.
    void ReleaseImage(CDibImage* image);
    // The images held now: the slots used less those released.
    int32_t ImagesHeld() const;
    // Sets the key colour from the first device context whose pixel can be read; once it is
    // set, later calls do nothing.
    void ProbeButtonFace(HDC dc);
    // The picture set (100, 150 or 200), chosen from the system DPI at the first call, which
    // the program makes as its window opens. A system-DPI-aware program keeps the system DPI
    // it started with, so the choice holds for the process's life.
    int32_t ArtPercent();

    CDibImage* m_images[IMAGE_STORE_CAPACITY] = {};
    int32_t m_count = 0; // slots used so far; a released slot below it holds null

    COLORREF m_keyColor = KEY_COLOR_UNSET;

private:
    int32_t m_artPercent = 0; // not chosen yet
    CDibImage m_overflowImage;
};

extern CImageStore theImageStore;
