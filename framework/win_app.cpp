// CWinApp: the application object, its registry profile, and the program's start.
#include "framework/win_app.h"

#include "framework/profile_path.h"

#include <algorithm>
#include <vector>

namespace {
CWinApp* g_app = nullptr;
} // namespace

std::string AfxModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

CWinApp::CWinApp(const char* appName) {
    g_app = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_strAppName = appName != nullptr ? appName : AppNameFromModulePath(AfxModulePath());
    const char* commandLine = ::GetCommandLineA();
    m_strCmdLine = ArgumentText(commandLine != nullptr ? commandLine : "");
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

const MessageMap* CWinApp::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CWinApp::OnHelp>(ID_HELP, 0),
    };
    static constexpr MessageMap map = MakeMessageMap(&CCmdTarget::ThisMessageMap, entries);
    return &map;
}

void CWinApp::SetRegistryKey(const char* registryKey) {
    m_strRegistryKey = registryKey != nullptr ? registryKey : "";
    m_strProfileName = m_strAppName;
}

HKEY CWinApp::OpenSectionKey(const char* section) const {
    if (m_strRegistryKey.empty())
        return nullptr;
    const std::string path = ProfileSectionPath(m_strRegistryKey, m_strProfileName, section);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

uint32_t CWinApp::GetProfileInt(const char* section, const char* entry, uint32_t defaultValue) {
    HKEY key = OpenSectionKey(section);
    if (key == nullptr)
        return defaultValue;
    // Any value of exactly four bytes is the integer, whatever its registry type; a longer one
    // fails the query and a shorter one is no integer either: both give the default.
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const LONG status =
        ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && size == sizeof(value) ? value : defaultValue;
}

std::string CWinApp::GetProfileString(const char* section, const char* entry) {
    HKEY key = OpenSectionKey(section);
    if (key == nullptr)
        return std::string();
    std::string text;
    DWORD size = 0;
    DWORD type = 0;
    if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        size > 0) {
        // The size may be that of the stored UTF-16, which a UTF-8 text exceeds by up to half
        // (three bytes for two).
        std::vector<char> buffer(size / 2 * 3 + 2, '\0');
        DWORD read = static_cast<DWORD>(buffer.size() - 1);
        if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                               &read) == ERROR_SUCCESS) {
            // The text ends at its first zero byte.
            const std::size_t limit = std::min<std::size_t>(read, buffer.size() - 1);
            std::size_t length = 0;
            while (length < limit && buffer[length] != '\0')
                ++length;
            text.assign(buffer.data(), length);
        }
    }
    ::RegCloseKey(key);
    return text;
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, uint32_t value) {
    HKEY key = OpenSectionKey(section);
    if (key == nullptr)
        return false;
    const DWORD data = value;
    const LONG status = ::RegSetValueExA(key, entry, 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&data), sizeof(data));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const std::string& value) {
    HKEY key = OpenSectionKey(section);
    if (key == nullptr)
        return false;
    // The stored length counts the terminating zero; a text with an embedded zero is stored
    // up to that zero, which is where a read would end it anyway.
    const std::size_t length = std::char_traits<char>::length(value.c_str()) + 1;
    LONG status = ERROR_INVALID_DATA;
    if (length <= 0xFFFFFFFFu)
        status =
            ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(length));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app != nullptr ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    if (instance != nullptr)
        app->m_hInstance = instance;
    if (!app->InitInstance())
        return app->ExitInstance();
    // No application here runs a message loop of its own.
    return app->ExitInstance();
}
