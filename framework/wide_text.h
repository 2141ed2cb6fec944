// Text between the wide (...W) functions and the process's code page, which is UTF-8 where
// the manifest's activeCodePage takes effect (Windows 10 1903 and later), so that any letter
// comes through.
#pragma once

#include <string>

std::string NarrowText(const wchar_t* text);
std::wstring WideText(const std::string& text);
