// Starting the program when the user signs in: one value of the user's own Run key
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run), named after the program's
// file name and holding the command line that starts it. Windows runs each value at sign-in and
// lists it in Task Manager's start-up list, where the user can turn it off too.
#pragma once

#include <string>

class CSignInStart {
public:
    // The value named valueName, for the program at programPath.
    CSignInStart(std::string valueName, std::string programPath);
    // The value of the running program: named after its file name without the extension, as
    // its settings are, so that copies under other names start side by side.
    static CSignInStart ForThisProgram();

    // Whether the value is there and starts this program; one that starts another copy (a moved
    // portable one) does not count.
    bool IsOn() const;
    // On: the value starts this program with the argument text (none when empty). Off: the
    // value goes, but only when it starts this program. False when the registry refused.
    bool Set(bool on, const std::string& argumentText);
    // While the value starts this program, it starts it with this argument text from now on.
    void Follow(const std::string& argumentText);

    const std::string& ValueName() const { return m_strValueName; }

private:
    // The value's command line, or empty when it is missing or no text.
    std::string Read() const;
    bool StartsThisProgram(const std::string& commandLine) const;

    std::string m_strValueName;
    std::string m_strProgramPath;
};
