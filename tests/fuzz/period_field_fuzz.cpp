// Fuzz target: any text in the Options dialog's period field. An accepted period, written
// back into the field, reads as itself.
#include "dialogs/period_field.h"
#include "tests/fuzz/fuzz_input.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto period = ParsePeriodField(text);
    Require(!period || ParsePeriodField(FormatPeriodField(*period)) == period);
    return 0;
}
