// Owners of GDI and menu handles; see gdi.h.
#include "framework/gdi.h"

#include "framework/win_app.h"

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    DeleteObject();
    m_hBitmap = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
    return m_hBitmap != nullptr;
}

BOOL CBitmap::DeleteObject() {
    if (m_hBitmap == nullptr)
        return FALSE;
    const BOOL deleted = ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    return deleted;
}

BOOL CMenu::LoadMenu(UINT resourceId) {
    DestroyMenu();
    m_hMenu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
    return m_hMenu != nullptr;
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr)
        return FALSE;
    const BOOL destroyed = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return destroyed;
}
