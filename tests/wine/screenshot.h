// Screenshots of windows for the Wine tests: a GDI capture of a window as it has drawn itself,
// saved as a PNG file in the folder named by the environment variable TARNWELL_SCREENSHOTS.
// Without that variable nothing is captured, so ordinary test runs leave no files behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The folder screenshots go to, as a Windows path (a Unix path in the variable is converted),
// or empty when TARNWELL_SCREENSHOTS is unset or empty.
std::wstring ScreenshotFolder();

// Repaints the window and its children, captures its whole frame from its own window device
// context (a window covered by another is still captured whole) and writes
// <folder>\<name>.png. Returns the path written, or empty when screenshots are off or the
// capture or the write failed.
std::wstring SaveWindowScreenshot(HWND window, const std::string& name);

// A PNG file of an 8-bit RGB picture; `rgb` holds width * height * 3 bytes, top row first.
// Stored (uncompressed) deflate blocks: larger files, but no compressor to get wrong.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);
