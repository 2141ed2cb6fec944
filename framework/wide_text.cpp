// Text conversion; see wide_text.h.
#include "framework/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

std::string NarrowText(const wchar_t* text, int length) {
    if (text == nullptr || length == 0)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), size, nullptr, nullptr);
    if (length < 0)
        narrow.pop_back(); // the ending zero
    return narrow;
}

WideChars WideText(const std::string& text) {
    // A text has at most as many wide characters as bytes.
    WideChars wide(text.size() + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             wide.data(), static_cast<int>(text.size()));
    wide.resize(static_cast<std::size_t>(std::max(length, 0)) + 1);
    wide.back() = L'\0';
    return wide;
}

WideChars AsciiHostName(const std::string& host) {
    WideChars wide = WideText(host);
    wchar_t ascii[256] = {};
    const int length = ::IdnToAscii(0, wide.data(), -1, ascii, static_cast<int>(std::size(ascii)));
    return length > 0 ? WideChars(ascii, ascii + length) : wide;
}
