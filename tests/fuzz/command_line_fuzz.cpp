// Fuzz target: a command line of any bytes split into the program's name and its argument
// text (the host to watch), and a module path reduced to the application name.
#include "framework/profile_path.h"
#include "tests/fuzz/fuzz_input.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const std::string arguments = ArgumentText(commandLine);
    // The argument text is the end of the command line, taken whole.
    Require(arguments.size() <= commandLine.size() &&
            commandLine.compare(commandLine.size() - arguments.size(), arguments.size(),
                                arguments) == 0);
    const std::string name = AppNameFromModulePath(commandLine);
    Require(name.size() <= commandLine.size());
    ProfileSectionPath(name, name, "Settings");
    return 0;
}
