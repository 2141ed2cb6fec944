// The check boxes' loading rule.
#include "framework/check_state.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace {

TEST(CheckStateToLoad, KeepsTheThreeCheckStatesAndClearsAnythingElse) {
    for (const auto& [member, loaded] :
         {std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 2}, std::pair{-1, 0}, std::pair{3, 0},
          std::pair{std::numeric_limits<int32_t>::min(), 0}}) {
        EXPECT_EQ(CheckStateToLoad(member), loaded) << member;
    }
}

} // namespace
