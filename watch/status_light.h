// CStatusLight: the watch window's status light, its five pictures and the one on show.
#pragma once

#include "framework/controls.h"
#include "framework/gdi.h"

// A picture control with the light's pictures (IDB_LIGHT_...) of the picture set the buttons use.
class CStatusLight : public CStatic {
public:
    // Loads the five pictures, each of the buttons' picture set, or else the 100 % one.
    void LoadPictures();
    // Shows the picture `bitmapId` (grey for an unknown one). The one already on show is not
    // set again: that would only repaint the control.
    void Show(int bitmapId);

private:
    CBitmap m_bmpRed;
    CBitmap m_bmpGreen;
    CBitmap m_bmpFlash;
    CBitmap m_bmpGrey;
    CBitmap m_bmpAmber;
    int m_nShown = 0; // the picture on show
};
