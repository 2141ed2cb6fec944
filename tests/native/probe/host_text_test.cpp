// The host field's grammar: a host alone, a host with its port, a bracketed IPv6 address with
// its port, and the ways a port can be wrong.
#include "probe/host_text.h"
#include "probe/probe_address.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Parsed(const char* text) {
    const HostText parsed = ParseHostText(text);
    const char* const kinds[] = {"echo ", "port ", "bad ", "nohost ", "ipv6 "};
    return kinds[parsed.kind] + parsed.host +
           (parsed.kind == HostText::Port ? " " + std::to_string(parsed.port) : "");
}

TEST(HostText, SplitsTheHostFromItsPort) {
    const std::pair<const char*, const char*> rows[] = {
        {"server", "echo server"}, {"fe80::1", "ipv6 fe80::1"},
        {"[::1]", "ipv6 ::1"},     {"server:3389", "port server 3389"},
        {"::1", "ipv6 ::1"},       {"fe80::1%12", "ipv6 fe80::1%12"},
        {"a:b:c", "echo a:b:c"},   {"[::1]x", "echo [::1]x"},
        {":3389", "nohost "},      {"[]:3389", "nohost "},
        {":", "nohost "},          {"[fe80::1%12]:22", "port fe80::1%12 22"},
        {"h:1", "port h 1"},       {"h:65535", "port h 65535"},
        {"h:0443", "port h 443"},  {"[2001:db8::1]:443", "port 2001:db8::1 443"},
        {"h:65536", "bad h"},      {"h:0", "bad h"},
        {"h:", "bad h"},           {"h:rdp", "bad h"},
        {"h:22 ", "bad h"},        {"h:99999999999999999999", "bad h"},
        {"[::1]:", "bad ::1"},     {"", "nohost "},
    };
    for (const auto& [text, parsed] : rows)
        EXPECT_EQ(parsed, Parsed(text)) << text;
}

TEST(HostText, TheBlanksAroundTheTextAreTrimmed) {
    EXPECT_EQ("server:22", TrimHostText(" server:22 "));
    EXPECT_EQ("a b", TrimHostText("\t a b\r\n"));
    EXPECT_EQ("", TrimHostText("   "));
    EXPECT_EQ("", TrimHostText(""));
}

// The zone after "%" is the interface's number, up to the end of the text; the address before
// it is the system's to read, in its text forms (the Wine tests hold our rules on Windows' reader).
TEST(NumericAddress, TheZoneIsTheInterfacesNumber) {
    EXPECT_EQ(12u, ParseNumericAddress("fe80::1%12")->scopeId);
    const std::pair<const char*, const char*> forms[] = {{"::1", "::1%0"},
                                                         {"::1", "0:0:0:0:0:0:0:1"},
                                                         {"2001:DB8::1", "2001:db8:0::1"},
                                                         {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
                                                         {"::ffff:192.0.2.1", "::ffff:c000:201"}};
    for (const auto& [text, same] : forms)
        EXPECT_EQ(ParseNumericAddress(text), ParseNumericAddress(same)) << text;
    EXPECT_FALSE(ParseNumericAddress("192.0.2.1")->isIpv6);
    const char* const names[] = {
        "",         "256.1.1.1",         "127.0.0",    "1.2.3.4.",          "127..0.1",
        "1.2.3.-4", "1::2::3",           ":1",         "1:2:3:4:5:6:7:8:9", "12345::",
        "g::1",     "1:2:3:4:5:6:7:8::", "example.org"};
    for (const char* text : names)
        EXPECT_FALSE(ParseNumericAddress(text).has_value()) << text;
    using namespace std::string_literals;
    for (const std::string& text :
         {"::1%"s, "::1%eth0"s, "::1%99999999999"s, "::1%+5"s, "::1% 5"s, "1.2.3.4%5"s, "::1\0x"s})
        EXPECT_FALSE(ParseNumericAddress(text).has_value()) << text;
}

} // namespace
