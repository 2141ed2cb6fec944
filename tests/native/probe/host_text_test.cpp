// The host field's grammar: a host alone, a host with its port, a bracketed IPv6 address with
// its port, and the ways a port can be wrong.
#include "probe/host_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Parsed(const char* text) {
    const HostText parsed = ParseHostText(text);
    const char* const kinds[] = {"echo ", "port ", "bad "};
    return kinds[parsed.kind] + parsed.host +
           (parsed.kind == HostText::Port ? " " + std::to_string(parsed.port) : "");
}

TEST(HostText, SplitsTheHostFromItsPort) {
    const std::pair<const char*, const char*> rows[] = {
        {"server", "echo server"}, {"fe80::1", "echo fe80::1"},
        {"[::1]", "echo [::1]"},   {"server:3389", "port server 3389"},
        {"h:1", "port h 1"},       {"h:65535", "port h 65535"},
        {"h:0443", "port h 443"},  {"[2001:db8::1]:443", "port 2001:db8::1 443"},
        {"h:65536", "bad h"},      {"h:0", "bad h"},
        {"h:", "bad h"},           {"h:rdp", "bad h"},
        {"h:22 ", "bad h"},        {"h:99999999999999999999", "bad h"},
        {"[::1]:", "bad ::1"},     {"", "echo "},
    };
    for (const auto& [text, parsed] : rows)
        EXPECT_EQ(parsed, Parsed(text)) << text;
}

} // namespace
