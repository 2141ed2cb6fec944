// CWinApp: the one application object. The entry point hands control to its InitInstance;
// it also names the registry key of the program's profile and reads and writes profile values.
#pragma once

#include "framework/profile_store.h"
#include "framework/wnd.h"

#include <windows.h>

#include <string>

#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

constexpr UINT ID_HELP = 57670;

class CWinApp : public CCmdTarget, public ProfileStore {
public:
    // The application name is the executable's base name unless one is given.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns false to end the process without a message loop of the application's own.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_nExitCode; }

    // Dialog controls get the three-dimensional look (the platform's own today).
    BOOL Enable3dControlsStatic() { return TRUE; }

    // The profile lives under HKEY_CURRENT_USER\Software\<key>\<application name>.
    void SetRegistryKey(const char* registryKey);

    uint32_t GetProfileInt(const char* section, const char* entry, uint32_t defaultValue) override;
    std::string GetProfileString(const char* section, const char* entry) override;
    bool WriteProfileInt(const char* section, const char* entry, uint32_t value) override;
    bool WriteProfileString(const char* section, const char* entry,
                            const std::string& value) override;

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;     // the application name
    std::string m_strRegistryKey; // the text handed to SetRegistryKey
    std::string m_strProfileName; // copied from the application name by SetRegistryKey
    std::string m_strCmdLine;     // the argument text after the program's name, taken whole
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0; // the process exit code when InitInstance returns false

protected:
    // The framework's help command: there is no help file, so it does nothing.
    void OnHelp() {}

private:
    // Opens the section's key for reading and writing, creating each missing key of its path.
    HKEY OpenSectionKey(const char* section) const;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// The full path of the running program's executable.
std::string AfxModulePath();

// The entry point's work: fills the application object from the process and runs it.
int AfxWinMain(HINSTANCE instance);
