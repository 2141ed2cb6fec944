// Text shortened to the room of a record that holds so many bytes (a tooltip, a notification's
// title), whole UTF-8 letters only.
#pragma once

#include <cstddef>
#include <string>

// The text cut to at most `room` bytes: when it is longer, its start and its last `tailLength`
// bytes with "..." between them, so that what the tail says is never cut. A cut never splits a
// UTF-8 character (the text may be shorter by its bytes).
std::string ShortenKeepingTail(const std::string& text, size_t room, size_t tailLength);
