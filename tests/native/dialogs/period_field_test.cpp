// The period field's unsigned-integer rule and its loading text.
#include "dialogs/period_field.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr uint32_t LARGEST = std::numeric_limits<uint32_t>::max();

TEST(ParsePeriodField, RefusesTextsThatHoldNoNumber) {
    for (const char* text : {"", " ", "\t \t", "+", "-", "abc", "+ 5", "++5", "0x10"}) {
        EXPECT_FALSE(ParsePeriodField(text).has_value()) << '"' << text << '"';
    }
}

TEST(ParsePeriodField, RefusesASignMinus) {
    for (const char* text : {"-1", "-0", " -5", "\t-4294967295"}) {
        EXPECT_FALSE(ParsePeriodField(text).has_value()) << '"' << text << '"';
    }
}

TEST(ParsePeriodField, RefusesANumberFollowedByAnythingButBlanks) {
    for (const char* text : {"12abc", "5 6", "7\t.", "0abc", "0+", "3\n", "4\r"}) {
        EXPECT_FALSE(ParsePeriodField(text).has_value()) << '"' << text << '"';
    }
    EXPECT_FALSE(ParsePeriodField(std::string("5\0", 2)).has_value());
}

TEST(ParsePeriodField, SkipsBlanksAndTabsOnBothSides) {
    EXPECT_EQ(ParsePeriodField(" \t7\t "), 7u);
    EXPECT_EQ(ParsePeriodField("\t\t12"), 12u);
    EXPECT_EQ(ParsePeriodField("30   "), 30u);
}

TEST(ParsePeriodField, TakesALeadingPlus) {
    EXPECT_EQ(ParsePeriodField("+5"), 5u);
    EXPECT_EQ(ParsePeriodField("  +60 "), 60u);
}

TEST(ParsePeriodField, TakesZeroOnlyWhenWrittenWithTheDigit) {
    EXPECT_EQ(ParsePeriodField("0"), 0u);
    EXPECT_EQ(ParsePeriodField("00"), 0u);
    EXPECT_EQ(ParsePeriodField(" 0 "), 0u);
    EXPECT_EQ(ParsePeriodField("007"), 7u);
    EXPECT_FALSE(ParsePeriodField("+0").has_value());
    EXPECT_FALSE(ParsePeriodField("+00").has_value());
}

TEST(ParsePeriodField, LargeValuesStopAtTheLargestPeriod) {
    EXPECT_EQ(ParsePeriodField(std::to_string(LARGEST)), LARGEST);
    EXPECT_EQ(ParsePeriodField(std::to_string(uint64_t{LARGEST} + 1)), LARGEST);
    EXPECT_EQ(ParsePeriodField("99999999999999999999"), LARGEST);
    EXPECT_EQ(ParsePeriodField(std::to_string(LARGEST - 1)), LARGEST - 1);
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
