// The check boxes' loading rule.
#include "framework/check_state.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CheckStateToLoad, KeepsTheThreeCheckStates) {
    for (int32_t state : {0, 1, 2}) {
        EXPECT_EQ(CheckStateToLoad(state), state);
    }
}

TEST(CheckStateToLoad, ClearsAnythingElse) {
    for (int32_t member :
         {-1, 3, 255, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(CheckStateToLoad(member), 0) << member;
    }
}

} // namespace
