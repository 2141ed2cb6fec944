// Plain text rules of the application object; see profile_path.h.
#include "framework/profile_path.h"

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
        while (pos < commandLine.size() && commandLine[pos] != ' ' && commandLine[pos] != '\t')
            ++pos;
    }
    while (pos < commandLine.size() && (commandLine[pos] == ' ' || commandLine[pos] == '\t'))
        ++pos;
    return commandLine.substr(pos);
}
