// CSignInStart: the program's value in the user's Run key; see sign_in_start.h.
#include "framework/sign_in_start.h"

#include "framework/profile_path.h"
#include "framework/win_app.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace

CSignInStart::CSignInStart(std::string valueName, std::string programPath)
    : m_strValueName(std::move(valueName)), m_strProgramPath(std::move(programPath)) {}

CSignInStart CSignInStart::ForThisProgram() {
    const std::string path = AfxModulePath();
    return CSignInStart(AppNameFromModulePath(path), path);
}

std::string CSignInStart::Read() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    std::string text;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key, m_strValueName.c_str(), nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::vector<char> buffer(size + 1, '\0');
        DWORD read = size;
        if (::RegQueryValueExA(key, m_strValueName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &read) == ERROR_SUCCESS)
            text = buffer.data();
    }
    ::RegCloseKey(key);
    // A value that names its program through an environment variable starts it after expanding.
    if (type == REG_EXPAND_SZ && !text.empty()) {
        const DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
        std::vector<char> expanded(needed + 1, '\0');
        if (needed > 0 && ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed) > 0)
            text = expanded.data();
    }
    return text;
}

bool CSignInStart::IsOn() const {
    return !m_strProgramPath.empty() &&
           IsSameFilePath(CommandLineProgram(Read()), m_strProgramPath);
}

bool CSignInStart::Set(bool on, const std::string& argumentText) {
    // A program that cannot tell its own path has nothing to start.
    if (m_strProgramPath.empty())
        return false;
    if (!on && !IsOn())
        return true;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = ERROR_SUCCESS;
    if (on) {
        const std::string commandLine = ProgramCommandLine(m_strProgramPath, argumentText);
        status = ::RegSetValueExA(key, m_strValueName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(commandLine.c_str()),
                                  static_cast<DWORD>(commandLine.size() + 1));
    } else {
        status = ::RegDeleteValueA(key, m_strValueName.c_str());
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void CSignInStart::Follow(const std::string& argumentText) {
    if (IsOn() && Read() != ProgramCommandLine(m_strProgramPath, argumentText))
        Set(true, argumentText);
}
