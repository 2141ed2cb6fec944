// The Options dialog's period field: the unsigned-integer rule by which its text is read back
// into the check period, and the text the field is loaded with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Shown when the field's text is refused.
extern const char* const PERIOD_FIELD_ERROR; // "Please enter a positive integer."

// Only this many leading characters of the field are read; the rest is never looked at.
constexpr size_t PERIOD_FIELD_READ_LIMIT = 31;

// The period in the field's text, or nothing when the text is refused. Within the first 31
// characters: leading blanks and tabs, an optional plus sign (a minus sign is refused),
// decimal digits (a value above 4294967295 reads as 4294967295), trailing blanks and tabs,
// and nothing else. A result of 0 is kept only when the first character after the blanks is
// the digit 0, so "0" is taken and "", "+" and "+0" are refused. Characters after the 31st
// are ignored: 40 digits read as 4294967295, and "5" followed by 30 blanks and a letter as 5.
std::optional<uint32_t> ParsePeriodField(const std::string& text);

// The field's text for a period: unsigned decimal.
std::string FormatPeriodField(uint32_t seconds);
