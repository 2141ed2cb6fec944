// Text between the wide (...W) functions and the process's code page, which is UTF-8 where
// the manifest's activeCodePage takes effect (Windows 10 1903 and later), so that any letter
// comes through.
#pragma once

#include <string>

// The first `length` characters of the text, or all of it up to its zero when length is -1.
std::string NarrowText(const wchar_t* text, int length = -1);
std::wstring WideText(const std::string& text);
