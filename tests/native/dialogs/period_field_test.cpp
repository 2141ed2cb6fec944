// The period field's unsigned-integer rule and its loading text.
#include "dialogs/period_field.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <utility>

namespace {

constexpr uint32_t LARGEST = std::numeric_limits<uint32_t>::max();

// No number, a sign minus, a number followed by anything but blanks, a plus before zero.
TEST(ParsePeriodField, RefusesTextsThatAreNoUnsignedNumber) {
    for (const std::string& text : std::initializer_list<std::string>{
             "",    " ",    "\t \t", "+",  "-",   "abc",           "+ 5",
             "++5", "0x10", "-1",    "-0", " -5", "\t-4294967295", "12abc",
             "5 6", "7\t.", "0abc",  "0+", "3\n", "4\r",           std::string("5\0", 2),
             "+0",  "+00"}) {
        EXPECT_FALSE(ParsePeriodField(text).has_value()) << '"' << text << '"';
    }
}

// Blanks and tabs on both sides are skipped and a leading plus taken; zero is written with the
// digit; large values stop at the largest period.
TEST(ParsePeriodField, TakesAnUnsignedNumberBetweenBlanks) {
    // clang-format off
    for (const auto& [text, value] : std::initializer_list<std::pair<std::string, uint32_t>>{
             {" \t7\t ", 7}, {"\t\t12", 12}, {"30   ", 30}, {"+5", 5}, {"  +60 ", 60},
             {"0", 0}, {"00", 0}, {" 0 ", 0}, {"007", 7}, {std::to_string(LARGEST), LARGEST},
             {std::to_string(uint64_t{LARGEST} + 1), LARGEST}, {"99999999999999999999", LARGEST},
             {std::to_string(LARGEST - 1), LARGEST - 1}}) {
        // clang-format on
        EXPECT_EQ(ParsePeriodField(text), value) << '"' << text << '"';
    }
}

TEST(ParsePeriodField, ReadsOnlyTheFirst31Characters) {
    ASSERT_EQ(PERIOD_FIELD_READ_LIMIT, 31u);
    EXPECT_EQ(ParsePeriodField(std::string(40, '9')), LARGEST);
    // What lies past the 31st character is never seen, good or bad.
    const std::string number = "5" + std::string(PERIOD_FIELD_READ_LIMIT - 1, ' ');
    EXPECT_EQ(ParsePeriodField(number + "x"), 5u);
    EXPECT_EQ(ParsePeriodField(std::string(PERIOD_FIELD_READ_LIMIT - 1, ' ') + "8"), 8u);
    EXPECT_FALSE(ParsePeriodField(std::string(PERIOD_FIELD_READ_LIMIT, ' ') + "8").has_value());
    // 31 zeros and then a digit: only the zeros are read.
    EXPECT_EQ(ParsePeriodField(std::string(PERIOD_FIELD_READ_LIMIT, '0') + "9"), 0u);
}

TEST(FormatPeriodField, WritesUnsignedDecimalThatReadsBack) {
    EXPECT_EQ(FormatPeriodField(0), "0");
    EXPECT_EQ(FormatPeriodField(4), "4");
    EXPECT_EQ(FormatPeriodField(LARGEST), "4294967295");
    for (uint32_t value : {0u, 1u, 4u, 86400u, LARGEST}) {
        EXPECT_EQ(ParsePeriodField(FormatPeriodField(value)), value);
    }
}

} // namespace
