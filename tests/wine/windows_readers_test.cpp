// What the product leaves to Windows' own readers: addresses typed as numbers (InetPtonA), the
// CSV's calendar days (FileTimeToSystemTime), the tray's local time (SystemTimeToVariantTime).
#include "framework/ole_date_time.h"
#include "history/history_picture.h"
#include "probe/probe_address.h"

#include <gtest/gtest.h>

#include <ws2tcpip.h>

#include <cmath>
#include <string>
#include <utility>

namespace {

// "name" for a text to look up, else the address as Windows writes it, and its zone.
std::string Read(const char* text) {
    const std::optional<ProbeAddress> a = ParseNumericAddress(text);
    char out[64] = "name";
    if (a)
        ::InetNtopA(a->isIpv6 ? AF_INET6 : AF_INET, a->bytes.data(), out, sizeof(out));
    return a && a->scopeId != 0 ? out + ("%" + std::to_string(a->scopeId)) : out;
}

// Our rules over the system's reader: a dotted IPv4 address only as four decimal numbers up to
// 255 without leading zeros (which a resolver may read as octal), also as an IPv6 address's
// dotted tail; a zone only as a number. (The native tests hold the other forms.)
TEST(WindowsReaders, AddressesTypedAsNumbers) {
    const std::pair<const char*, const char*> rows[] = {{"127.0.0.1", "127.0.0.1"},
                                                        {"::ffff:c000:201", "::ffff:192.0.2.1"},
                                                        {"fe80::1%5", "fe80::1%5"},
                                                        {"1:2:3:4:5:6:7:1.2.3.4", "name"}};
    for (const auto& [text, address] : rows)
        EXPECT_EQ(address, Read(text)) << text;
    for (const char* text : {"127.1", "010.0.0.1", "0x7f.0.0.1", "127.0.0.010", "::1.02.3.4",
                             "1.2.3.4 ", "[::1]", "fe80::1%eth0", "example.org"})
        EXPECT_EQ("name", Read(text)) << text;
}

// The CSV's dates, counted in days from 1 January 1601, leap days and the year 2100 included.
TEST(WindowsReaders, CalendarDays) {
    const std::pair<int64_t, const char*> rows[] = {{0, "1601-01-01T07:30:12.3+01:00"},
                                                    {145790, "2000-02-29T07:30:12.3+01:00"},
                                                    {154556, "2024-02-29T07:30:12.3+01:00"},
                                                    {182315, "2100-03-01T07:30:12.3+01:00"}};
    for (const auto& [days, iso] : rows) {
        const int64_t localMs = days * 86400000 + 27012300;
        EXPECT_EQ(iso, IsoDateTimeText(UserClock().DateOf(localMs), localMs, 60));
    }
}

// The local time in whole seconds, in days from 30 December 1899; a span to an invalid end is 0.
TEST(WindowsReaders, LocalDateTime) {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    ASSERT_EQ(COleDateTime::valid, now.m_status);
    EXPECT_GT(now.m_dt, 43831.0); // 1 January 2020
    EXPECT_NEAR(std::round(now.m_dt * 86400), now.m_dt * 86400, 1e-3);
    EXPECT_NEAR((COleDateTime(now.m_dt + 15.0 / 86400) - now) * 86400, 15.0, 1e-6);
    EXPECT_EQ(now - COleDateTime(0.0, COleDateTime::invalid), 0.0);
    EXPECT_EQ(COleDateTime(5.0, COleDateTime::null) - now, 0.0);
}

} // namespace
