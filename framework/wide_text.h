// Text between the wide (...W) functions and the process's code page, which is UTF-8 where
// the manifest's activeCodePage takes effect (Windows 10 1903 and later), so that any letter
// comes through.
#pragma once

#include <string>
#include <vector>

// A null-terminated wide text; data() is for a wide function. A vector rather than
// std::wstring, whose library code would add about 24 KB to the program.
using WideChars = std::vector<wchar_t>;

// The first `length` characters of the text, or all of it up to its zero when length is -1.
std::string NarrowText(const wchar_t* text, int length = -1);
WideChars WideText(const std::string& text);
// An international host name in its ASCII form (IDN), as name servers and certificates know it
// and as WinHTTP does not make it itself; any other text as it is.
WideChars AsciiHostName(const std::string& host);
