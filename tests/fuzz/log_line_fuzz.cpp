// Fuzz target: any time text and host text composed into an event log line. Whatever the host
// holds, the line is one line: its only CR and LF are the two at its end.
#include "actions/event_actions.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string timeText = FormatLogTime();
    const std::string eventText =
        std::string(reinterpret_cast<const char*>(data), size) + " is alive!";
    const std::string line = ComposeLogLine(LogLineFormat::Event, timeText, eventText);
    Require(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    const std::string body = line.substr(timeText.size() + 3, line.size() - timeText.size() - 5);
    const bool control = std::any_of(body.begin(), body.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 0x20 || code == 0x7F;
    });
    Require(!control && body.size() == eventText.size());
    ComposeLogLine(LogLineFormat::Test, timeText, eventText);
    return 0;
}
