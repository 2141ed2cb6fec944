// Control classes: buttons (with owner drawing), static controls and edit fields.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {
public:
    // Draws an owner-drawn button; called when its parent receives WM_DRAWITEM for it.
    virtual void DrawItem(const DRAWITEMSTRUCT* item);

protected:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class CStatic : public CWnd {
public:
    // Shows a bitmap in a picture control; returns the previous one.
    HBITMAP SetBitmap(HBITMAP bitmap) {
        return reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    }
    void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
};
