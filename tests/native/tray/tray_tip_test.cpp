// The tray tooltip's text: how long a state has lasted, and a few hundred tips of random hosts,
// states and mutes held to the shell's room.
#include "tray/tray_record.h"
#include "tray/tray_tip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <regex>

namespace {

TEST(DurationText, SaysTheTwoLargestUnits) {
    EXPECT_EQ("45 s", DurationText(45999));
    EXPECT_EQ("3 min", DurationText(3 * 60000 + 59999));
    EXPECT_EQ("2 h 14 min", DurationText((2 * 60 + 14) * 60000));
    EXPECT_EQ("3 d 5 h", DurationText((3 * 24 + 5) * 3600000u + 59 * 60000));
}

// Hosts of up to thousands of bytes in any letters, every state with and without a finding,
// short and long clocks, shown and hidden: the tip fits the record's 127 bytes (Windows makes no
// more UTF-16 units of them), whole letters, the state whole, the host whole unless it is full.
TEST(TrayTooltipText, FitsCutsNoLetterAndKeepsTheState) {
    constexpr size_t ROOM = sizeof TrayIconRecord::szTip - 1; // the shell's, not the product's
    std::mt19937 random(34);
    const auto text = [&random](uint32_t most) {
        std::string made;
        for (uint32_t n = random() % (most + 1); n-- > 0;)
            made += std::array<const char*, 5>{"a", "-", "ж", "日", "😀"}[random() % 5];
        return made;
    };
    for (int i = 0; i < 640; ++i) {
        const bool visible = i % 2 == 0;
        const std::string host = text(i % 4 == 1 ? 3000 : 30);
        const WatchStatus status{WatchStatus::Kind(i / 2 % 8), uint64_t{random()} * random(),
                                 uint32_t(random()), i % 3 ? "850 ms" : "25 % lost",
                                 i % 3 ? text(200) : ""};
        const std::string mute = i % 5 ? "muted until " + text(i % 7 ? 8 : 79) : "";
        const std::string tip = TrayTooltipText(visible, host, status, mute);
        const std::string state = WatchStatusLine(status), line = tip.substr(0, tip.find('\n'));
        SCOPED_TRACE(tip);
        const std::string rest = std::regex_replace(tip, std::regex("ж|日|😀"), ""); // cut letters
        EXPECT_TRUE(tip.size() <= ROOM &&
                    std::none_of(rest.begin(), rest.end(), [](char c) { return c & 0x80; }));
        EXPECT_TRUE(line == (visible ? "Hide " : "Show ") + host || tip.size() + 3 >= ROOM);
        EXPECT_EQ(state, tip.substr(std::min(line.size() + 1, tip.size()), state.size()));
        EXPECT_TRUE(mute.size() + state.size() + 10 > ROOM ||
                    tip.substr(tip.size() - std::min(mute.size(), tip.size())) == mute);
    }
}

} // namespace
