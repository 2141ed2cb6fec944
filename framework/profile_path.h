// Plain text rules of the application object: the registry path of a profile section, the
// application name taken from the executable's path, and the argument text of a command line.
#pragma once

#include <string>

// "Software\<registry key>\<profile name>\<section>", relative to the per-user root. The key
// text is not interpreted: its backslashes make further levels of the path.
std::string ProfileSectionPath(const std::string& registryKey, const std::string& profileName,
                               const std::string& section);

// The executable's file name without its directory and its extension.
std::string AppNameFromModulePath(const std::string& modulePath);

// The whole text after the program's own name (quoted or not) and the blanks that follow it,
// as the platform hands it to a program's entry point: not split into words.
std::string ArgumentText(const std::string& commandLine);
