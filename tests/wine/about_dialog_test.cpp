// The About box on its real template: its three animated picture buttons, the two links that
// open their pages and leave it open, and the three ways it ends.
#include "dialogs/about_dlg.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"
#include "tests/wine/widget_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

CAnimButton* AnimButtonOf(HWND dialog, int id) {
    return dynamic_cast<CAnimButton*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, id)));
}

TEST(AboutBox, ItsThreeButtonsAreAnimatedPictureButtonsAndOnlyTheBannerStandsStill) {
    struct Row {
        int id;
        bool animates;
    };
    const Row rows[] = {{IDOK, true}, {IDC_HOMEPAGE, true}, {IDC_PRODUCT_PAGE, false}};
    CAboutDlg about;
    DialogDriver driver;
    driver.WaitUntil("About box shown", [&] { return DialogIsUp(about); })
        .Pause(300) // settled before the picture
        .Then([&] {
            EXPECT_EQ(WindowTextOf(about.m_hWnd), "About Tarnwell");
            for (const Row& row : rows) {
                SCOPED_TRACE(row.id);
                HWND button = about.GetDlgItem(row.id);
                EXPECT_EQ(::GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
                CAnimButton* anim = AnimButtonOf(about.m_hWnd, row.id);
                ASSERT_NE(anim, nullptr) << "not attached as an animated button";
                // Only a button under the mouse animates, and the banner never does.
                EXPECT_FALSE(anim->HasTimer());
                RECT rect;
                ::GetWindowRect(button, &rect);
                WidgetMovePointer(rect.left + 2, rect.top + 2);
                ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
                EXPECT_EQ(anim->HasTimer(), row.animates);
                WidgetMovePointer(0, 0);
                ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1)); // it leaves
            }
            // The focus starts on the first tab stop, the OK button.
            EXPECT_EQ(::GetFocus(), about.GetDlgItem(IDOK));
            SaveWindowScreenshot(about.m_hWnd, "about");
            DialogPostClick(about.m_hWnd, IDOK);
        });
    EXPECT_EQ(DialogRunDriven(about, driver), IDOK);
}

// The About box with the browser left out: the pages it would open are recorded.
class PageRecordingAbout : public CAboutDlg {
public:
    std::vector<std::string> opened;

protected:
    void OpenPage(const char* address) override { opened.push_back(address); }
};

TEST(AboutBox, LinksOpenTheirPagesAndLeaveTheBoxOpen) {
    PageRecordingAbout about;
    DialogDriver driver;
    driver.WaitUntil("About box shown", [&] { return DialogIsUp(about); });
    // Each link, and the home page a second time.
    for (const int link : {IDC_HOMEPAGE, IDC_PRODUCT_PAGE, IDC_HOMEPAGE}) {
        driver.Then([&, link] { DialogPostClick(about.m_hWnd, link); }).Pause(300).Then([&, link] {
            EXPECT_TRUE(DialogIsUp(about)) << "after link " << link;
        });
    }
    driver.Then([&] { DialogPostClick(about.m_hWnd, IDOK); });
    EXPECT_EQ(DialogRunDriven(about, driver), IDOK);
    const std::string home = "https://www.larkspindle.example/";
    const std::string product = "https://www.larkspindle.example/tarnwell/";
    EXPECT_EQ(about.opened, (std::vector<std::string>{home, product, home}));
}

TEST(AboutBox, OkEscapeAndCloseEachEndIt) {
    struct Row {
        const char* name;
        std::function<void(CAboutDlg&)> end;
        INT_PTR expected;
    };
    const Row rows[] = {
        {"OK button", [](CAboutDlg& d) { DialogPostClick(d.m_hWnd, IDOK); }, IDOK},
        {"Escape", [](CAboutDlg& d) { DialogPostKey(d.GetDlgItem(IDOK), VK_ESCAPE); }, IDCANCEL},
        {"close box", [](CAboutDlg& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); }, IDCANCEL},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CAboutDlg about;
        HWND shown = nullptr;
        DialogDriver driver;
        driver.WaitUntil("About box shown", [&] { return DialogIsUp(about); }).Then([&] {
            shown = about.m_hWnd;
            row.end(about);
        });
        EXPECT_EQ(DialogRunDriven(about, driver), row.expected);
        EXPECT_FALSE(::IsWindow(shown));
    }
}

} // namespace
