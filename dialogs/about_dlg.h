// CAboutDlg: the About box, with the banner link to the product's page and the link to the
// maker's home page.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"
#include "widgets/anim_button.h"

extern const char* const MAKER_HOME_PAGE;
extern const char* const PRODUCT_PAGE;

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    CAboutDlg() : CDialog(IDD) {}

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Button 1018: opens the maker's home page; the box stays open.
    void OnHomePage();
    // Button 1060, the banner: opens the product's page; the box stays open.
    void OnProductPage();
    // Opens a web address in the user's browser without waiting for it.
    virtual void OpenPage(const char* address);

private:
    CAnimButton m_btnProductPage;
    CAnimButton m_btnHomePage;
    CAnimButton m_btnOK;
};
