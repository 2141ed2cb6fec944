// The web way's rules: which texts are web addresses, what of the URL reader's parts is watched,
// and which outcomes (a status, an error, a certificate) are an answer.
#include "probe/web_address.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Described(const std::optional<WebAddress>& address) {
    if (!address)
        return "bad";
    return (address->secure ? "https " : "http ") + address->host + " " +
           std::to_string(address->port) + " " + address->path;
}

// The text given to the URL reader, with a bracketed IPv6 address set aside; "no" where the
// brackets are refused before the reader.
TEST(WebAddress, FormsOfTheText) {
    const struct {
        const char *text, *readerText, *literal;
        bool web;
    } rows[] = {
        {"http://h/", "http://h/", "", true},
        {"HTTPS://H:8443", "HTTPS://H:8443", "", true},
        {"http://[::1]:8080/", "http://ipv6-literal.invalid:8080/", "[::1]", true},
        {"https://[fe80::1%4]/x", "https://ipv6-literal.invalid/x", "[fe80::1%4]", true},
        {"http://[::1/", "no", "", true},
        {"http://[]/", "no", "", true},
        {"http://[::1 ]/", "no", "", true},
        {"http://[server]/", "no", "", true},
        {"http:/h", "http:/h", "", false},
        {"ftp://h/", "ftp://h/", "", false},
    };
    for (const auto& row : rows) {
        std::string literal = "stale";
        EXPECT_EQ(row.readerText, TextForUrlReader(row.text, literal).value_or("no"));
        EXPECT_EQ(row.literal, literal) << row.text;
        EXPECT_EQ(row.web, IsWebAddressText(row.text)) << row.text;
    }
}

TEST(WebAddress, WhatOfTheReadersPartsIsWatched) {
    struct Row {
        CrackedUrl parts;
        const char* literal;
        const char* watched;
    };
    const Row rows[] = {
        {{true, false, "127.0.0.1", 8080, "/health", "", false}, "", "http 127.0.0.1 8080 /health"},
        {{false, true, "localhost", 443, "", "", false}, "", "https localhost 443 /"},
        {{true, false, "h", 80, "/a", "?b=1#top", false}, "", "http h 80 /a?b=1"},
        {{true, false, "пример.рф", 80, "/", "", false}, "", "http пример.рф 80 /"},
        {{true, false, "ipv6-literal.invalid", 8080, "/", "", false}, "[::1]", "http [::1] 8080 /"},
        {{true, false, "", 80, "/x", "", false}, "", "bad"},
        {{true, false, "h#x", 80, "", "", false}, "", "bad"},
        {{true, false, "exa mple", 80, "/", "", false}, "", "bad"},
        {{true, false, "h", 0, "/", "", false}, "", "bad"},
        {{true, false, "h", 80, "/", "", true}, "", "bad"},
        {{false, false, "h", 21, "/", "", false}, "", "bad"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.watched, Described(WebAddressFromParts(row.parts, row.literal)))
            << row.parts.host << " " << row.parts.port;
}

// Statuses; WinHTTP errors ('e', 'r' while the lookup was under way, 'p' after a proxy sign-in)
// with the certificate failure notice's flags: a certificate's faults are a bad certificate, a
// failed secure channel without one (a plain HTTP port) is the handshake's. Then the chain's trust
// bits and the SSL policy's errors: untrusted root, partial chain, expired, another host's name,
// wrong usage; revocation's pass.
TEST(WebAddress, WhichOutcomesAreAnAnswer) {
    using V = WebVerdict;
    const std::pair<uint32_t, WebVerdict> statuses[] = {
        {200, V::Answer},   {301, V::Answer},       {401, V::Answer},
        {499, V::Answer},   {407, V::ProxyRefuses}, {500, V::NoAnswer},
        {503, V::NoAnswer}, {0, V::NoAnswer},       {600, V::NoAnswer}};
    for (const auto& [status, verdict] : statuses)
        EXPECT_EQ(verdict, VerdictForStatus(status)) << status;
    const struct {
        char when;
        uint32_t code, secureFailure;
        WebVerdict verdict;
    } errors[] = {{'e', 12002, 0, V::TimedOut},
                  {'r', 12002, 0, V::NoLookup},
                  {'e', 12029, 0, V::NoAnswer},
                  {'e', 12007, 0, V::UnknownName},
                  {'e', 12175, 0x8, V::BadCertificate},
                  {'e', 12175, 0x10, V::BadCertificate},
                  {'e', 12175, 0x20, V::BadCertificate},
                  {'e', 12175, 0x40, V::BadCertificate},
                  {'e', 12175, 0x80000000, V::HandshakeFailed},
                  {'e', 12175, 0x1, V::HandshakeFailed},
                  {'e', 12157, 0, V::HandshakeFailed},
                  {'e', 12045, 0, V::BadCertificate},
                  {'p', 12030, 0, V::ProxyRefuses},
                  {'p', 12002, 0, V::TimedOut},
                  {'p', 12175, 0x8, V::BadCertificate}};
    for (const auto& row : errors)
        EXPECT_EQ(row.verdict,
                  VerdictForError(row.code, row.secureFailure, row.when == 'r', row.when == 'p'))
            << row.when << row.code << " " << row.secureFailure;
    // A request for sign-in: Negotiate before NTLM, twice at most, nothing with a password,
    // nothing when no proxy is known to stand between (a server's own 407).
    const struct {
        uint32_t offered;
        int tried;
        uint32_t scheme;
        bool proxyKnown = true;
    } signIns[] = {
        {0x10 | 0x2, 0, 0x10}, {0x2 | 0x1, 1, 0x2}, {0x1, 0, 0}, {0x10, 2, 0}, {0x10, 0, 0, false},
    };
    for (const auto& row : signIns)
        EXPECT_EQ(row.scheme, ProxySignInScheme(row.offered, row.tried, row.proxyKnown))
            << row.offered;
    // Which proxy settings send http://Web.Corp:8080 (or https) through a proxy.
    const struct {
        bool secure;
        const char *proxies, *bypass;
        bool through;
    } routes[] = {
        {false, "p:3128", "", true},
        {false, "", "", false},
        {true, "http=p:3128", "", false},
        {true, "http=p:1 https=p:2", "", true},
        {false, "http=", "", false},
        {false, "p:3128", "*.corp", false},
        {false, "p:3128", "<local>; WEB.*:8080", false},
        {false, "p:3128", "http://web.corp", false},
        {false, "p:3128", "<local>;*.org;web.corp:80;10.*", true},
    };
    for (const auto& row : routes)
        EXPECT_EQ(row.through,
                  ProxyStandsBetween({row.secure, "Web.Corp", 8080, "/"}, row.proxies, row.bypass))
            << row.proxies << " | " << row.bypass;
    const struct {
        uint32_t chain, policy;
        bool good;
    } certificates[] = {
        {0, 0, true},
        {0x20, 0x800B0109, false},
        {0x10000, 0, false},
        {0x1, 0x800B0101, false},
        {0, 0x800B010F, false},
        {0x10, 0x800B0110, false},
        {0x40 | 0x1000000, 0x80092013, true},
        {0x4, 0x80092010, true},
    };
    for (const auto& row : certificates)
        EXPECT_EQ(row.good, IsGoodCertificate(row.chain, row.policy))
            << row.chain << " " << row.policy;
}

} // namespace
