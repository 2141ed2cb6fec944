// CDialog: template loading, the modal loop and the default OK and Cancel handling.
#include "framework/dialog.h"

#include "framework/data_exchange.h"
#include "framework/message_wait.h"
#include "framework/win_app.h"

#include <cstring>
#include <vector>

namespace {

// A copy of the dialog template with WS_VISIBLE cleared: the modal run shows the dialog
// itself after its initialisation, unless the initialisation set its visibility.
bool LoadTemplate(UINT id, std::vector<BYTE>& copy) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (resource == nullptr)
        return false;
    HGLOBAL handle = ::LoadResource(instance, resource);
    const DWORD size = ::SizeofResource(instance, resource);
    const void* data = handle != nullptr ? ::LockResource(handle) : nullptr;
    if (data == nullptr || size < sizeof(DLGTEMPLATE))
        return false;
    copy.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    // An extended template starts with the version 1 and the signature 0xFFFF; its style
    // follows the help id and the extended style.
    WORD version = 0;
    WORD signature = 0;
    std::memcpy(&version, copy.data(), sizeof(version));
    std::memcpy(&signature, copy.data() + 2, sizeof(signature));
    const std::size_t styleOffset = (version == 1 && signature == 0xFFFF) ? 12 : 0;
    if (copy.size() < styleOffset + sizeof(DWORD))
        return false;
    DWORD style = 0;
    std::memcpy(&style, copy.data() + styleOffset, sizeof(style));
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(copy.data() + styleOffset, &style, sizeof(style));
    return true;
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

const MessageMap* CDialog::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CDialog::OnOK>(IDOK),
        msg::Command<&CDialog::OnCancel>(IDCANCEL),
    };
    static constexpr MessageMap map = MakeMessageMap(&CWnd::ThisMessageMap, entries);
    return &map;
}

HWND CDialog::OwnerForModalRun() const {
    if (m_pParentWnd != nullptr)
        return m_pParentWnd->m_hWnd;
    // No parent given: the main window's most recently active pop-up.
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || main == this || main->m_hWnd == nullptr)
        return nullptr;
    return ::GetLastActivePopup(main->m_hWnd);
}

INT_PTR CDialog::DoModal() {
    std::vector<BYTE> dialogTemplate;
    if (!LoadTemplate(m_nIDTemplate, dialogTemplate))
        return -1;

    HWND owner = OwnerForModalRun();
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_bContinueModal = true;
    HWND hwnd = ::CreateDialogIndirectParamA(
        AfxGetInstanceHandle(), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
        FrameworkDlgProc, reinterpret_cast<LPARAM>(this));

    if (hwnd != nullptr) {
        // Every modal dialog is shown, whether or not its template says visible (most do
        // not); a window that hid itself during its initialisation stays hidden.
        if (m_bContinueModal && !VisibilityWasSet())
            ::ShowWindow(hwnd, SW_SHOWNORMAL);
        MSG msg;
        while (m_bContinueModal) {
            const BOOL got = AfxGetMessage(&msg);
            if (got == -1)
                break;
            if (got == 0) {
                // A quit request ends this run and every run around it.
                if (CWinApp* app = AfxGetApp())
                    app->m_nExitCode = static_cast<int>(msg.wParam);
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_nModalResult = -1;
                break;
            }
            if (!FrameworkPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    m_bContinueModal = false;

    // The owner is enabled again before the dialog goes, so that it takes the activation.
    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (hwnd != nullptr) {
        if (owner != nullptr && ::GetActiveWindow() == hwnd)
            ::SetActiveWindow(owner);
        ::DestroyWindow(hwnd);
    }
    return m_nModalResult;
}

BOOL CDialog::Create(CWnd* owner) {
    std::vector<BYTE> dialogTemplate;
    if (m_hWnd != nullptr || !LoadTemplate(m_nIDTemplate, dialogTemplate))
        return FALSE;
    m_pParentWnd = owner;
    return ::CreateDialogIndirectParamA(
               AfxGetInstanceHandle(), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
               owner != nullptr ? owner->m_hWnd : nullptr, FrameworkDlgProc,
               reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_bContinueModal = false;
    // Wakes the loop should the call come from outside any message of this thread.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.m_bFailed ? FALSE : TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Keyboard navigation of the dialog: Tab, arrows, Enter for the default button, Escape.
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hWnd != nullptr &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)))
        return ::IsDialogMessageA(m_hWnd, msg);
    return FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK FrameworkDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    // Bound before the initialisation runs, so that every later message passes WindowProc.
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr || !dialog->SubclassWindow(hwnd))
        return TRUE;
    return dialog->OnInitDialog();
}
