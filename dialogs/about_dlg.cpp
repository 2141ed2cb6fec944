// CAboutDlg; see about_dlg.h.
#include "dialogs/about_dlg.h"

#include "framework/data_exchange.h"

#include <shellapi.h>

const char* const MAKER_HOME_PAGE = "https://www.larkspindle.example/";
const char* const PRODUCT_PAGE = "https://www.larkspindle.example/tarnwell/";

const MessageMap* CAboutDlg::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CAboutDlg::OnHomePage>(IDC_HOMEPAGE),
        msg::Command<&CAboutDlg::OnProductPage>(IDC_PRODUCT_PAGE),
    };
    static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
    return &map;
}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_PRODUCT_PAGE, m_btnProductPage);
    DDX_Control(dx, IDC_HOMEPAGE, m_btnHomePage);
    DDX_Control(dx, IDOK, m_btnOK);
}

BOOL CAboutDlg::OnInitDialog() {
    m_btnOK.AttachAnim(IDOK, this, IDB_BUTTON_ABOUT, 10, 4, 0);
    m_btnHomePage.AttachAnim(IDC_HOMEPAGE, this, IDB_BUTTON_HOMEPAGE, 10, 4, 0);
    m_btnProductPage.AttachAnim(IDC_PRODUCT_PAGE, this, IDB_BUTTON_BANNER, 10, 1, 0);
    CDialog::OnInitDialog();
    return TRUE;
}

void CAboutDlg::OnHomePage() {
    OpenPage(MAKER_HOME_PAGE);
}

void CAboutDlg::OnProductPage() {
    OpenPage(PRODUCT_PAGE);
}

void CAboutDlg::OpenPage(const char* address) {
    ::ShellExecuteA(m_hWnd, nullptr, address, nullptr, nullptr, SW_HIDE);
}
