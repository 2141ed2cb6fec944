// Status lights, application icon and tray icons.
#include "small_art.h"

#include "canvas.h"
#include "emblem.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

// The 16 colours every display can show, in their usual order.
constexpr std::array<Rgb8, 16> STANDARD_PALETTE = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// Indexes into that palette.
constexpr uint8_t BLACK = 0;
constexpr uint8_t MAROON = 1;
constexpr uint8_t GREEN = 2;
constexpr uint8_t NAVY = 4;
constexpr uint8_t SILVER = 7;
constexpr uint8_t GREY = 8;
constexpr uint8_t RED = 9;
constexpr uint8_t LIME = 10;
constexpr uint8_t WHITE = 15;

constexpr int TRAY_SIZE = 16;

} // namespace

RgbImage DrawLight(Rgb8 field) {
    RgbImage image{LIGHT_WIDTH, LIGHT_HEIGHT,
                   std::vector<Rgb8>(LIGHT_WIDTH * LIGHT_HEIGHT, Rgb8{0, 0, 0})};
    for (int y = 1; y < LIGHT_HEIGHT - 1; ++y) {
        for (int x = 1; x < LIGHT_WIDTH - 1; ++x) {
            image.At(x, y) = field;
        }
    }
    return image;
}

RgbaImage DrawAppIcon(int size) {
    Canvas canvas(size, size, Canvas::Edges::Alpha);
    DrawEmblem(canvas, {0, 0, size, size}, 0, 0, size);
    return canvas.ToAlpha();
}

// A shiny ball in the state's colour with a symbol: a tick when alive, a cross when dead,
// three dots while waiting.
IndexedImage DrawTrayIcon(TrayState state) {
    uint8_t light = LIME;
    uint8_t dark = GREEN;
    uint8_t mark = GREEN;
    std::vector<std::pair<int, int>> symbol;
    switch (state) {
    case TrayState::Alive:
        symbol = {{4, 8}, {5, 9}, {6, 10}, {7, 9}, {8, 8}, {9, 7}, {10, 6}, {11, 5},
                  {4, 7}, {5, 8}, {6, 9},  {7, 8}, {8, 7}, {9, 6}, {10, 5}, {11, 4}};
        mark = WHITE;
        break;
    case TrayState::Dead:
        light = RED;
        dark = MAROON;
        mark = WHITE;
        for (int i = 0; i < 6; ++i) {
            symbol.push_back({5 + i, 5 + i});
            symbol.push_back({10 - i, 5 + i});
        }
        break;
    case TrayState::Waiting:
        light = SILVER;
        dark = GREY;
        mark = NAVY;
        for (int x : {4, 7, 10}) {
            for (const auto& d : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                symbol.push_back({x + d.first, 7 + d.second});
            }
        }
        break;
    }

    IndexedImage icon;
    icon.width = TRAY_SIZE;
    icon.height = TRAY_SIZE;
    icon.palette = STANDARD_PALETTE;
    icon.indexes.assign(TRAY_SIZE * TRAY_SIZE, BLACK);
    icon.transparent.assign(TRAY_SIZE * TRAY_SIZE, true);
    const double c = 7.5;
    for (int y = 0; y < TRAY_SIZE; ++y) {
        for (int x = 0; x < TRAY_SIZE; ++x) {
            const double d = std::hypot(x - c, y - c);
            if (d > 7.4) {
                continue;
            }
            const auto i = static_cast<size_t>(y * TRAY_SIZE + x);
            icon.transparent[i] = false;
            // Lit from the upper left: a white spot, the bright colour, a darker lower right.
            const double fromLight = std::hypot(x - 5.0, y - 4.5);
            uint8_t index = BLACK;
            if (d <= 6.4) {
                index = fromLight < 1.3 ? WHITE : (fromLight < 7.6 ? light : dark);
            }
            icon.indexes[i] = index;
        }
    }
    for (const auto& [x, y] : symbol) {
        icon.indexes[static_cast<size_t>(y * TRAY_SIZE + x)] = mark;
    }
    return icon;
}
