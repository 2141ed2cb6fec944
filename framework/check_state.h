// A check box's loading rule: a flag member outside the three check states
// (cleared, checked, indeterminate) loads as cleared.
#pragma once

#include <cstdint>

// The state a check box is loaded with; the exchange also stores it back into the member.
constexpr int32_t CheckStateToLoad(int32_t member) {
    return member >= 0 && member <= 2 ? member : 0;
}
