// Fuzz target: a tooltip of any bytes and length copied into the tray icon's record: it keeps
// what fits, always ends in a zero, and never writes past the record's 64 bytes.
#include "tests/native/tray/fake_tray_shell.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FakeTrayShell shell;
    TrayIconState tray(shell);
    tray.Create(6, 88, 0x1234, 1125, text, 0, 192);
    tray.SetTooltip(text);
    const TrayIconRecord& record = tray.Record();
    const size_t kept = std::min<size_t>(size, sizeof record.szTip - 1);
    if (record.szTip[sizeof record.szTip - 1] != '\0' ||
        std::memcmp(record.szTip, text.data(), kept) != 0)
        std::abort();
    return 0;
}
