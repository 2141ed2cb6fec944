// Owners of GDI and menu handles: a bitmap loaded from the resources, a menu.
#pragma once

#include <windows.h>

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    BOOL LoadBitmap(UINT resourceId);
    BOOL DeleteObject();
    operator HBITMAP() const { return m_hBitmap; }

    HBITMAP m_hBitmap = nullptr;
};

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL LoadMenu(UINT resourceId);
    BOOL DestroyMenu();
    HMENU m_hMenu = nullptr;
};
