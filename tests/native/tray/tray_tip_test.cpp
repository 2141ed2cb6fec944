// The tray tooltip's text: what a click does, and how long a state has lasted.
#include "tray/tray_tip.h"

#include <gtest/gtest.h>

TEST(TrayTooltipText, SaysWhatAClickWillDo) {
    EXPECT_EQ("Hide example.org", TrayTooltipText(true, "example.org"));
    EXPECT_EQ("Show example.org", TrayTooltipText(false, "example.org"));
    EXPECT_EQ("Show ", TrayTooltipText(false, ""));
    EXPECT_EQ("45 s", DurationText(45999));
    EXPECT_EQ("3 min", DurationText(3 * 60000 + 59999));
    EXPECT_EQ("2 h 14 min", DurationText((2 * 60 + 14) * 60000));
    EXPECT_EQ("3 d 5 h", DurationText((3 * 24 + 5) * 3600000u + 59 * 60000));
}
