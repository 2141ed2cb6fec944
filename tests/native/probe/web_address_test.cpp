// The web way's rules: which texts are web addresses, what of the URL reader's parts is watched,
// and which outcomes (a status, an error, a certificate) are an answer.
#include "probe/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Described(const std::optional<WebAddress>& address) {
    if (!address)
        return "bad";
    return (address->secure ? "https " : "http ") + address->host + " " +
           std::to_string(address->port) + " " + address->path;
}

TEST(WebAddress, FormsOfTheText) {
    struct Row {
        const char* text;
        bool web;
        const char* readerText; // nullptr: refused before the reader
        const char* literal;
    };
    const Row rows[] = {
        {"http://h/", true, "http://h/", ""},
        {"HTTPS://H:8443", true, "HTTPS://H:8443", ""},
        {"http://[::1]:8080/", true, "http://ipv6-literal.invalid:8080/", "[::1]"},
        {"https://[fe80::1%4]/x", true, "https://ipv6-literal.invalid/x", "[fe80::1%4]"},
        {"http://[::1/", true, nullptr, ""},
        {"http://[]/", true, nullptr, ""},
        {"http://[::1 ]/", true, nullptr, ""},
        {"http:/h", false, "http:/h", ""},
        {"ftp://h/", false, "ftp://h/", ""},
        {"h:80", false, "h:80", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.web, IsWebAddressText(row.text)) << row.text;
        std::string literal = "stale";
        const std::optional<std::string> readerText = TextForUrlReader(row.text, literal);
        EXPECT_EQ(row.readerText != nullptr, readerText.has_value()) << row.text;
        if (readerText && row.readerText) {
            EXPECT_EQ(row.readerText, *readerText) << row.text;
        }
        EXPECT_EQ(row.literal, literal) << row.text;
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

TEST(WebAddress, WhichOutcomesAreAnAnswer) {
    const std::pair<uint32_t, WebVerdict> statuses[] = {
        {200, WebVerdict::Answer},   {204, WebVerdict::Answer},   {301, WebVerdict::Answer},
        {401, WebVerdict::Answer},   {404, WebVerdict::Answer},   {499, WebVerdict::Answer},
        {500, WebVerdict::NoAnswer}, {503, WebVerdict::NoAnswer}, {0, WebVerdict::NoAnswer},
        {99, WebVerdict::NoAnswer},  {600, WebVerdict::NoAnswer},
    };
    for (const auto& [status, verdict] : statuses)
        EXPECT_EQ(verdict, VerdictForStatus(status)) << status;
    const std::pair<uint32_t, WebVerdict> errors[] = {
        {12002, WebVerdict::NoAnswer},       {12029, WebVerdict::NoAnswer},
        {12030, WebVerdict::NoAnswer},       {12157, WebVerdict::NoAnswer},
        {12007, WebVerdict::UnknownName},    {12175, WebVerdict::BadCertificate},
        {12045, WebVerdict::BadCertificate}, {12037, WebVerdict::BadCertificate},
        {12038, WebVerdict::BadCertificate},
    };
    for (const auto& [error, verdict] : errors)
        EXPECT_EQ(verdict, VerdictForError(error)) << error;
    // Chain trust bits and SSL policy errors: untrusted root, partial chain, expired, another
    // host's name, wrong usage; the revocation bits and errors pass.
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
