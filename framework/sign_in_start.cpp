// CSignInStart: the program's value in the user's Run key; see sign_in_start.h.
#include "framework/sign_in_start.h"

#include "framework/profile_path.h"
#include "framework/win_app.h"

#include <windows.h>

#include <algorithm>
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
    // RRF_RT_REG_SZ takes a REG_EXPAND_SZ too, and expands its environment variables, as
    // Windows does to start the program.
    const DWORD types = RRF_RT_REG_SZ;
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG status = ::RegGetValueA(HKEY_CURRENT_USER, RUN_KEY, m_strValueName.c_str(),
                                           types, nullptr, buffer.data(), &size);
        if (status == ERROR_SUCCESS)
            return std::string(buffer.data());
        if (status != ERROR_MORE_DATA)
            return std::string();
        buffer.resize(std::max<std::size_t>(size, buffer.size() * 2));
    }
}

bool CSignInStart::StartsThisProgram(const std::string& commandLine) const {
    return !m_strProgramPath.empty() &&
           IsSameFilePath(CommandLineProgram(commandLine), m_strProgramPath);
}

bool CSignInStart::IsOn() const {
    return StartsThisProgram(Read());
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
    const std::string commandLine = Read();
    if (StartsThisProgram(commandLine) &&
        commandLine != ProgramCommandLine(m_strProgramPath, argumentText))
        Set(true, argumentText);
}
