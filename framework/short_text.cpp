// Shortening UTF-8 text to a room; see short_text.h.
#include "framework/short_text.h"

#include <algorithm>

namespace {

// A cut of UTF-8 text at byte `at` moved back (or forward) to the start of a character, so
// that no letter is split.
bool IsContinuation(const std::string& text, size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}
size_t CutBack(const std::string& text, size_t at) {
    while (at > 0 && IsContinuation(text, at))
        --at;
    return at;
}

} // namespace

std::string ShortenKeepingTail(const std::string& text, size_t room, size_t tailLength) {
    if (text.size() <= room) {
        return text;
    }
    static constexpr char ELLIPSIS[] = "...";
    constexpr size_t ellipsisLength = sizeof ELLIPSIS - 1;
    if (room <= ellipsisLength) {
        return text.substr(0, CutBack(text, room));
    }
    size_t tailStart = text.size() - std::min(tailLength, room - ellipsisLength);
    while (IsContinuation(text, tailStart))
        ++tailStart;
    const size_t headLength = room - ellipsisLength - (text.size() - tailStart);
    return text.substr(0, CutBack(text, headLength)) + ELLIPSIS + text.substr(tailStart);
}
