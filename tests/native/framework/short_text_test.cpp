// Shortening a text to a room, its tail kept.
#include "framework/short_text.h"

#include <gtest/gtest.h>

TEST(ShortenKeepingTail, KeepsTheTailAndSplitsNoLetter) {
    EXPECT_EQ(ShortenKeepingTail("abcdef", 5, 9), "...ef") << "the tail before the start";
    EXPECT_EQ(ShortenKeepingTail("abcdef", 2, 0), "ab");
    // UTF-8 letters (two bytes each here) are never split, at either cut.
    EXPECT_EQ(ShortenKeepingTail("жжжжж", 8, 0), "жж...");
    EXPECT_EQ(ShortenKeepingTail("abжжж", 7, 3), "ab...ж");
    EXPECT_EQ(ShortenKeepingTail("жж", 3, 0), "ж");
}
