// Starting the program when the user signs in: one value of the user's own Run key
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run), named after the program's
// file name and holding the command line that starts it. Windows runs each value at sign-in and
// lists it in Task Manager's start-up list, where the user can turn it off too: Task Manager
// keeps the value and marks it off in a value of the same name under
// ...\Explorer\StartupApproved\Run, which Windows reads at sign-in.
#pragma once

#include <string>

class CSignInStart {
public:
    // The value named valueName, for the program at programPath.
    CSignInStart(std::string valueName, std::string programPath);
    // The value of the running program: named after its file name without the extension, as
    // its settings are, so that copies under other names start side by side.
    static CSignInStart ForThisProgram();

    // Whether the value is there, starts this program and is not turned off in Task Manager;
    // one that starts another copy (a moved portable one) does not count.
    bool IsOn() const;
    // On: the value starts this program with the argument text (none when empty), and is
    // turned on again where Task Manager turned it off. Off: the value goes, but only when it
    // is on (IsOn); one turned off in Task Manager stays so there. Returns what failed, in words
    // for the user, or an empty text when it was done.
    std::string Set(bool on, const std::string& argumentText);
    // While the value starts this program, it starts it with this argument text from now on.
    void Follow(const std::string& argumentText);

    const std::string& ValueName() const { return m_strValueName; }

private:
    // The value's command line, or empty when it is missing or no text.
    std::string Read() const;
    bool StartsThisProgram(const std::string& commandLine) const;
    bool TurnedOffInTaskManager() const;
    // Writes (on) or deletes (off) the Run value alone; what failed, or empty.
    std::string WriteRunValue(bool on, const std::string& argumentText) const;

    std::string m_strValueName;
    std::string m_strProgramPath;
};
