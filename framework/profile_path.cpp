// Plain text rules of the application object; see profile_path.h.
#include "framework/profile_path.h"

#include <algorithm>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

std::string ProfileSectionPath(const std::string& registryKey, const std::string& profileName,
                               const std::string& section) {
    return "Software\\" + registryKey + "\\" + profileName + "\\" + section;
}

std::string AppNameFromModulePath(const std::string& modulePath) {
    const std::string::size_type slash = modulePath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name;
}

std::string ArgumentText(const std::string& commandLine) {
    std::string::size_type pos = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::string::size_type close = commandLine.find('"', 1);
        pos = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (pos < commandLine.size() && !IsBlank(commandLine[pos]))
            ++pos;
    }
    while (pos < commandLine.size() && IsBlank(commandLine[pos]))
        ++pos;
    return commandLine.substr(pos);
}

std::string ProgramCommandLine(const std::string& programPath, const std::string& argumentText) {
    std::string commandLine = "\"" + programPath + "\"";
    std::string::size_type first = 0;
    while (first < argumentText.size() && IsBlank(argumentText[first]))
        ++first;
    if (first < argumentText.size() &&
        commandLine.size() + 1 + argumentText.size() - first <= MAX_COMMAND_LINE)
        commandLine.append(" ").append(argumentText, first, std::string::npos);
    return commandLine;
}

std::string CommandLineProgram(const std::string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"')
        return commandLine.substr(1, commandLine.find('"', 1) - 1);
    std::string::size_type end = 0;
    while (end < commandLine.size() && !IsBlank(commandLine[end]))
        ++end;
    return commandLine.substr(0, end);
}

bool StartupApprovedTurnsOff(const unsigned char* data, std::size_t size) {
    return data != nullptr && size > 0 && (data[0] & 1) != 0;
}
