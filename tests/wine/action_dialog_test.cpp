// The Action dialog on its real template, driven through its controls: the seven members in
// both directions, the four Test buttons acting on the typed text whatever the check boxes say
// (the log line's bytes, the viewer, a launched command, a notification), and Browse through the
// platform's file-open dialog.
#include "actions/event_actions_win.h"
#include "dialogs/action_dlg.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

// The members as the dialog holds them after its run.
EventAction Members(const CActionDlg& dlg) {
    EventAction members;
    dlg.StoreTo(members);
    return members;
}

// A scratch folder of this process below the temporary folder, removed with its files.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_path = std::string(temp) + "tarnwell_action_" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& name : m_files)
            ::DeleteFileA((m_path + "\\" + name).c_str());
        ::RemoveDirectoryA((m_path + "\\missing").c_str());
        ::RemoveDirectoryA(m_path.c_str());
    }
    // The path of a file in the folder, deleted now and at the end.
    std::string File(const std::string& name) {
        m_files.push_back(name);
        const std::string path = m_path + "\\" + name;
        ::DeleteFileA(path.c_str());
        return path;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

// The text viewer's windows on the desktop whose titles name the file.
std::vector<HWND> ViewerWindowsFor(const std::string& fileName) {
    struct Search {
        const std::string* name;
        std::vector<HWND> found;
    } search{&fileName, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char className[32] = {};
            ::GetClassNameA(window, className, sizeof(className));
            if (std::string(className) == "Notepad" &&
                WindowTextOf(window).find(*s->name) != std::string::npos)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CloseViewers(const std::string& fileName) {
    for (HWND viewer : ViewerWindowsFor(fileName))
        ::PostMessageA(viewer, WM_CLOSE, 0, 0);
}

// One test line: the time text (weekday, day, month, year, 24-hour time), " - ", a tab,
// "test", CR LF.
const char TEST_LINE[] =
    "(Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday) [0-3][0-9] "
    "(January|February|March|April|May|June|July|August|September|October|"
    "November|December) [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9] - \\ttest\\r\\n";

TEST(ActionDialog, MembersAreLoadedIntoTheControlsAndSavedBack) {
    struct Row {
        const char* name;
        EventAction loaded;
        EventAction shown; // check states as loaded, out-of-range flags cleared
    };
    const Row rows[] = {
        {"all on",
         {1, "C:\\go.exe /a", 1, "C:\\ding.wav", 1, "C:\\log.txt", 1},
         {1, "C:\\go.exe /a", 1, "C:\\ding.wav", 1, "C:\\log.txt", 1}},
        {"all off, empty paths", {0, "", 0, "", 0, ""}, {0, "", 0, "", 0, ""}},
        {"flags out of range", {7, "a", -1, "b", 3, "c", 5}, {0, "a", 0, "b", 0, "c", 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CActionDlg dlg;
        dlg.LoadFrom(row.loaded);
        DialogDriver driver;
        driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            EXPECT_EQ(ActionDialogControls(dlg.m_hWnd), row.shown);
            if (&row == &rows[0])
                SaveWindowScreenshot(dlg.m_hWnd, "action");
            DialogPostClick(dlg.m_hWnd, IDOK);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
        EXPECT_EQ(Members(dlg), row.shown);
    }
}

TEST(ActionDialog, EditedControlsReachTheMembersOnlyOnOk) {
    const EventAction before = {1, "C:\\old.exe", 0, "C:\\old.wav", 1, "C:\\old.txt", 1};
    // Texts go whole, however long.
    const std::string longPath = "C:\\" + std::string(3000, 'p') + ".txt";
    const EventAction after = {0, "cmd /c echo new", 1, "C:\\new.wav", 0, longPath};
    for (const int ending : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(ending == IDOK ? "OK" : "Cancel");
        CActionDlg dlg;
        dlg.LoadFrom(before);
        DialogDriver driver;
        driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            DialogClickCheckBox(dlg.m_hWnd, IDC_LAUNCH_CHECK);
            DialogSetItemText(dlg.m_hWnd, IDC_LAUNCH_PATH, after.strLaunchPath);
            DialogClickCheckBox(dlg.m_hWnd, IDC_SOUND_CHECK);
            DialogSetItemText(dlg.m_hWnd, IDC_SOUND_PATH, after.strSoundPath);
            DialogClickCheckBox(dlg.m_hWnd, IDC_LOG_CHECK);
            DialogSetItemText(dlg.m_hWnd, IDC_LOG_PATH, after.strLogPath);
            DialogClickCheckBox(dlg.m_hWnd, IDC_NOTIFY_CHECK);
            EXPECT_EQ(ActionDialogControls(dlg.m_hWnd), after);
            DialogPostClick(dlg.m_hWnd, ending);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), ending);
        EXPECT_EQ(Members(dlg), ending == IDOK ? after : before);
    }
}

TEST(ActionDialog, LogTestAppendsOneStampedLineAndOpensItInTheViewer) {
    ScratchFolder folder;
    const std::string path = folder.File("viewer_log.txt");
    const std::regex oneLine(std::string("^") + TEST_LINE + "$");
    const std::regex twoLines(std::string("^") + TEST_LINE + TEST_LINE + "$");
    bool viewerSeen = false;

    CActionDlg dlg;
    dlg.LoadFrom({0, "", 0, "", 0, "C:\\member-path-not-used.txt"});
    DialogDriver driver(14000);
    driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); })
        .Then([&] {
            // The box stays cleared: the test acts on the typed text regardless.
            DialogSetItemText(dlg.m_hWnd, IDC_LOG_PATH, path);
            DialogPostClick(dlg.m_hWnd, IDC_LOG_TEST);
        })
        .WaitUntil("log file written", [&] { return !ReadFileBytes(path).empty(); })
        .Then([&] {
            const std::string bytes = ReadFileBytes(path);
            EXPECT_TRUE(std::regex_match(bytes, oneLine)) << "file holds: " << bytes;
        })
        .WaitUntil("viewer window showing the file",
                   [&] { return !ViewerWindowsFor("viewer_log.txt").empty(); })
        .Then([&] {
            viewerSeen = true;
            CloseViewers("viewer_log.txt");
        })
        .WaitUntil("viewer closed", [&] { return ViewerWindowsFor("viewer_log.txt").empty(); })
        .Then([&] { DialogPostClick(dlg.m_hWnd, IDC_LOG_TEST); })
        .WaitUntil("second line appended",
                   [&] { return std::regex_match(ReadFileBytes(path), twoLines); })
        .WaitUntil("second viewer window",
                   [&] { return !ViewerWindowsFor("viewer_log.txt").empty(); })
        .Then([&] {
            CloseViewers("viewer_log.txt");
            DialogPostClick(dlg.m_hWnd, IDCANCEL);
        });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
    EXPECT_TRUE(viewerSeen);
    // Cancel does not undo the test, and the members never saw the typed path.
    EXPECT_TRUE(std::regex_match(ReadFileBytes(path), twoLines));
    EXPECT_EQ(dlg.m_strLogPath, "C:\\member-path-not-used.txt");
    CloseViewers("viewer_log.txt");
}

TEST(ActionDialog, LogTestOnAFileThatCannotBeOpenedWritesNothingAndStartsNoViewer) {
    ScratchFolder folder;
    const std::string missingFolder = folder.Path() + "\\missing";
    const std::string inMissingFolder = missingFolder + "\\unopened_log.txt";
    for (const std::string& path : {inMissingFolder, std::string()}) {
        SCOPED_TRACE("path \"" + path + "\"");
        bool viewerSeen = false;
        CActionDlg dlg;
        DialogDriver driver;
        driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); })
            .Then([&] {
                DialogSetItemText(dlg.m_hWnd, IDC_LOG_PATH, path);
                DialogPostClick(dlg.m_hWnd, IDC_LOG_TEST);
            })
            // Long enough for the viewer to show had it been started.
            .Pause(2000)
            .Then([&] {
                viewerSeen = !ViewerWindowsFor("unopened_log").empty() ||
                             !ViewerWindowsFor("Untitled").empty();
                EXPECT_TRUE(DialogIsUp(dlg));
                DialogPostClick(dlg.m_hWnd, IDCANCEL);
            });
        EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
        EXPECT_FALSE(viewerSeen);
        EXPECT_FALSE(FileExists(missingFolder));
        CloseViewers("unopened_log");
        CloseViewers("Untitled");
    }
}

// The Action dialog whose sounds and notifications are recorded instead of played and shown;
// launches are real.
class SoundRecordingActionDlg : public CActionDlg {
public:
    struct Recorder : PlatformActionRunner {
        std::vector<std::string> sounds;
        std::vector<Notification> notifications;
        void PlaySoundFile(const std::string& path) override { sounds.push_back(path); }
        void ShowNotification(const Notification& shown) override {
            notifications.push_back(shown);
        }
    } runner;

protected:
    ActionRunner& Runner() override { return runner; }
};

TEST(ActionDialog, LaunchSoundAndNotificationTestsActWhateverTheBoxes) {
    ScratchFolder folder;
    const std::string marker = folder.File("launched.txt");
    SoundRecordingActionDlg dlg;
    dlg.LoadFrom({0, "", 0, "", 0, ""});
    DialogDriver driver(14000);
    driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); })
        .Then([&] {
            DialogSetItemText(dlg.m_hWnd, IDC_LAUNCH_PATH, "cmd /c echo made> " + marker);
            DialogPostClick(dlg.m_hWnd, IDC_LAUNCH_TEST);
        })
        .WaitUntil("launched command wrote its file",
                   [&] { return ReadFileBytes(marker).rfind("made", 0) == 0; })
        .Then([&] {
            DialogSetItemText(dlg.m_hWnd, IDC_SOUND_PATH, folder.Path() + "\\no_such.wav");
            DialogPostClick(dlg.m_hWnd, IDC_SOUND_TEST);
        })
        .WaitUntil("the first sound", [&] { return dlg.runner.sounds.size() == 1; })
        .Then([&] {
            DialogSetItemText(dlg.m_hWnd, IDC_SOUND_PATH, "");
            DialogPostClick(dlg.m_hWnd, IDC_SOUND_TEST);
        })
        .WaitUntil("the second sound", [&] { return dlg.runner.sounds.size() == 2; })
        .Then([&] { DialogPostClick(dlg.m_hWnd, IDC_NOTIFY_TEST); })
        .WaitUntil("the notification", [&] { return dlg.runner.notifications.size() == 1; })
        .Then([&] {
            EXPECT_TRUE(DialogIsUp(dlg));
            EXPECT_EQ(DialogCheckState(dlg.m_hWnd, IDC_LAUNCH_CHECK), 0);
            DialogPostClick(dlg.m_hWnd, IDOK);
        });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_bLaunch, 0);
    EXPECT_EQ(dlg.m_strLaunchPath, "cmd /c echo made> " + marker);
    EXPECT_EQ(dlg.runner.sounds, (std::vector<std::string>{folder.Path() + "\\no_such.wav", ""}));
    EXPECT_EQ(dlg.runner.notifications.at(0).title, "Tarnwell test notification");
}

// The platform's file-open dialog of this thread, once it is up, and its file name field
// (a combo box, id 0x47C, around an edit control).
HWND FindFileDialog() {
    return DialogFindByCaption("Open");
}
constexpr int FILE_NAME_FIELD = 0x47C;
constexpr int FILE_TYPE_LIST = 0x470;

void TypeFileName(HWND fileDialog, const std::string& name) {
    HWND field = ::GetDlgItem(fileDialog, FILE_NAME_FIELD);
    HWND edit = ::FindWindowExA(field, nullptr, "ComboBox", nullptr);
    edit = ::FindWindowExA(edit != nullptr ? edit : field, nullptr, "Edit", nullptr);
    ::SetWindowTextA(edit != nullptr ? edit : field, name.c_str());
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(ActionDialog, BrowseFillsTheRowsFieldWithTheChosenPathAndCancelLeavesIt) {
    ScratchFolder folder;
    const std::string chosen = folder.File("chosen.wav");
    if (std::FILE* file = std::fopen(chosen.c_str(), "wb"))
        std::fclose(file);
    const std::string newLog = folder.File("new_log.txt");

    struct Row {
        const char* name;
        int browse;
        int field;
        const char* filter;
        std::string typed;    // empty: the file dialog is cancelled
        std::string expected; // the field's text afterwards
    };
    const Row rows[] = {
        {"sound, chosen", IDC_SOUND_BROWSE, IDC_SOUND_PATH, "Sound files (*.wav)", chosen, chosen},
        {"launch, cancelled", IDC_LAUNCH_BROWSE, IDC_LAUNCH_PATH, "Executable files (*.exe)", "",
         "C:\\keep.exe"},
        // A log file need not exist yet.
        {"log, new file", IDC_LOG_BROWSE, IDC_LOG_PATH, "Text files (*.txt)", newLog, newLog},
    };
    CActionDlg dlg;
    dlg.LoadFrom({0, "C:\\keep.exe", 0, "", 0, ""});
    DialogDriver driver(14000);
    driver.WaitUntil("Action dialog shown", [&] { return DialogIsUp(dlg); });
    for (const Row& row : rows) {
        driver.Then([&] { DialogPostClick(dlg.m_hWnd, row.browse); })
            .WaitUntil(std::string("file dialog for ") + row.name,
                       [&] { return FindFileDialog() != nullptr; })
            .Then([&] {
                SCOPED_TRACE(row.name);
                HWND box = FindFileDialog();
                // Exactly one filter, the row's own.
                HWND types = ::GetDlgItem(box, FILE_TYPE_LIST);
                EXPECT_EQ(::SendMessageA(types, CB_GETCOUNT, 0, 0), 1);
                EXPECT_EQ(WindowTextOf(types), row.filter);
                if (row.typed.empty()) {
                    DialogPostClick(box, IDCANCEL);
                } else {
                    TypeFileName(box, row.typed);
                    DialogPostClick(box, IDOK);
                }
            })
            .WaitUntil(std::string("file dialog closed for ") + row.name,
                       [&] { return FindFileDialog() == nullptr; })
            .Then([&] {
                SCOPED_TRACE(row.name);
                EXPECT_EQ(Lower(DialogItemText(dlg.m_hWnd, row.field)), Lower(row.expected));
            });
    }
    driver.Then([&] { DialogPostClick(dlg.m_hWnd, IDCANCEL); });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
    // Browsing changed only the fields; the dialog was cancelled.
    EXPECT_EQ(dlg.m_strSoundPath, "");
    EXPECT_EQ(dlg.m_strLaunchPath, "C:\\keep.exe");
}

} // namespace
