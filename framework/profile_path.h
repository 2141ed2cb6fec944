// Plain text rules of the application object: the registry path of a profile section, the
// application name taken from the executable's path, the argument text of a command line, and
// the command line that starts the program again with an argument text.
#pragma once

#include <cstddef>
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

// The longest command line that Windows starts a program with, in characters.
constexpr std::size_t MAX_COMMAND_LINE = 32766;

// The command line that starts the program at programPath with argumentText, so that
// ArgumentText gives the text back: the path in quotes (it may hold blanks), then a blank and
// the text as it is. The text needs no quotes, since a program takes all of it whole, and quotes
// would become part of it. Blanks before the text are dropped, as ArgumentText skips them. The
// path alone when no text is left, or when the whole line would be too long to start.
std::string ProgramCommandLine(const std::string& programPath, const std::string& argumentText);

// The program that a command line starts: the quoted path without its quotes, or else the text
// up to the first blank.
std::string CommandLineProgram(const std::string& commandLine);

// Task Manager's switch for a start-up value: a REG_BINARY value of the same name under the
// user's Explorer\StartupApproved\Run key, whose first byte is even (2) while the value is on and
// odd (3) once it has been turned off there. A missing or empty one leaves the value on.
bool StartupApprovedTurnsOff(const unsigned char* data, std::size_t size);
// What Task Manager writes when it turns a value on again: 2, then eleven zero bytes.
constexpr unsigned char STARTUP_APPROVED_ON[12] = {2};
