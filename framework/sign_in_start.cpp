// CSignInStart: the program's value in the user's Run key; see sign_in_start.h.
#include "framework/sign_in_start.h"

#include "framework/profile_path.h"
#include "framework/wide_text.h"
#include "framework/win_app.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char APPROVED_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Whether two paths name the same file as Windows compares file names: any letters in either
// case.
bool IsSameFilePath(const std::string& a, const std::string& b) {
    return ::CompareStringOrdinal(WideText(a).data(), -1, WideText(b).data(), -1, TRUE) ==
           CSTR_EQUAL;
}

// "the value tarnwell of HKEY_CURRENT_USER\...\Run could not be written: Access is denied."
std::string WriteFailure(const char* key, const std::string& valueName, LONG status) {
    char* systemText = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<char*>(&systemText), 0, nullptr);
    std::string reason = systemText != nullptr ? systemText : "error " + std::to_string(status);
    ::LocalFree(systemText);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return "The value " + valueName + " of HKEY_CURRENT_USER\\" + key +
           " could not be written: " + reason;
}

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

bool CSignInStart::TurnedOffInTaskManager() const {
    unsigned char data[64] = {};
    DWORD size = sizeof data;
    const LONG status = ::RegGetValueA(HKEY_CURRENT_USER, APPROVED_KEY, m_strValueName.c_str(),
                                       RRF_RT_REG_BINARY, nullptr, data, &size);
    return status == ERROR_SUCCESS && StartupApprovedTurnsOff(data, size);
}

bool CSignInStart::IsOn() const {
    return StartsThisProgram(Read()) && !TurnedOffInTaskManager();
}

std::string CSignInStart::Set(bool on, const std::string& argumentText) {
    if (m_strProgramPath.empty())
        return "Tarnwell cannot tell the path of its own program file.";
    // Off already, here or in Task Manager: nothing to do, and Task Manager's entry stays.
    if (!on && !IsOn())
        return std::string();
    std::string failure = WriteRunValue(on, argumentText);
    if (!failure.empty() || !on || !TurnedOffInTaskManager())
        return failure;
    // Turned on again as Task Manager does it.
    const LONG status =
        ::RegSetKeyValueA(HKEY_CURRENT_USER, APPROVED_KEY, m_strValueName.c_str(), REG_BINARY,
                          STARTUP_APPROVED_ON, sizeof STARTUP_APPROVED_ON);
    return status == ERROR_SUCCESS ? std::string()
                                   : WriteFailure(APPROVED_KEY, m_strValueName, status);
}

std::string CSignInStart::WriteRunValue(bool on, const std::string& argumentText) const {
    HKEY key = nullptr;
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return WriteFailure(RUN_KEY, m_strValueName, status);
    if (on) {
        const std::string commandLine = ProgramCommandLine(m_strProgramPath, argumentText);
        status = ::RegSetValueExA(key, m_strValueName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(commandLine.c_str()),
                                  static_cast<DWORD>(commandLine.size() + 1));
    } else {
        status = ::RegDeleteValueA(key, m_strValueName.c_str());
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string() : WriteFailure(RUN_KEY, m_strValueName, status);
}

void CSignInStart::Follow(const std::string& argumentText) {
    const std::string commandLine = Read();
    if (StartsThisProgram(commandLine) &&
        commandLine != ProgramCommandLine(m_strProgramPath, argumentText))
        WriteRunValue(true, argumentText);
}
