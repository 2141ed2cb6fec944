// The period field's unsigned-integer rule, in both directions.
#include "dialogs/period_field.h"

#include <algorithm>
#include <limits>

const char* const PERIOD_FIELD_ERROR = "Please enter a positive integer.";

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<uint32_t> ParsePeriodField(const std::string& text) {
    constexpr uint64_t largest = std::numeric_limits<uint32_t>::max();
    const std::string field = text.substr(0, PERIOD_FIELD_READ_LIMIT);
    size_t at = 0;
    while (at < field.size() && IsBlank(field[at])) {
        ++at;
    }
    // Zero is a number only when written with a digit: "+0" is refused like "+".
    const bool startsWithZero = at < field.size() && field[at] == '0';
    if (at < field.size() && field[at] == '-') {
        return std::nullopt;
    }
    if (at < field.size() && field[at] == '+') {
        ++at;
    }
    uint64_t value = 0;
    while (at < field.size() && IsDigit(field[at])) {
        // Saturate at every step so that 31 digits cannot overflow the accumulator.
        value = std::min(value * 10 + static_cast<uint64_t>(field[at] - '0'), largest);
        ++at;
    }
    if (value == 0 && !startsWithZero) {
        return std::nullopt;
    }
    while (at < field.size() && IsBlank(field[at])) {
        ++at;
    }
    if (at != field.size()) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::string FormatPeriodField(uint32_t seconds) {
    return std::to_string(seconds);
}
