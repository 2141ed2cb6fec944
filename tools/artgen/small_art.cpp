// Status lights, application icon and tray icons.
#include "small_art.h"

#include "canvas.h"
#include "emblem.h"

#include <algorithm>
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
constexpr uint8_t OLIVE = 3;
constexpr uint8_t NAVY = 4;
constexpr uint8_t SILVER = 7;
constexpr uint8_t GREY = 8;
constexpr uint8_t RED = 9;
constexpr uint8_t LIME = 10;
constexpr uint8_t YELLOW = 11;
constexpr uint8_t WHITE = 15;

constexpr int TRAY_SIZE = 16;

} // namespace

RgbImage DrawLight(Rgb8 field, double scale) {
    const int width = static_cast<int>(std::lround(LIGHT_WIDTH * scale));
    const int height = static_cast<int>(std::lround(LIGHT_HEIGHT * scale));
    const int frame = static_cast<int>(scale);
    RgbImage image{width, height, std::vector<Rgb8>(static_cast<size_t>(width * height))};
    for (int y = frame; y < height - frame; ++y) {
        for (int x = frame; x < width - frame; ++x) {
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
// three dots while waiting, an exclamation mark when slow (amber: yellow and olive among the
// 16 colours).
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
    case TrayState::Slow:
        light = YELLOW;
        dark = OLIVE;
        mark = BLACK;
        for (int y : {3, 4, 5, 6, 7, 8, 10, 11}) {
            symbol.push_back({7, y});
            symbol.push_back({8, y});
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

RgbaImage DrawTrayIcon(TrayState state, int size) {
    const auto colour = [](uint8_t index) {
        const Rgb8 c = STANDARD_PALETTE[index];
        return Color{static_cast<double>(c.r), static_cast<double>(c.g), static_cast<double>(c.b)};
    };
    Color light = colour(LIME);
    Color dark = colour(GREEN);
    Color mark = colour(WHITE);
    if (state == TrayState::Dead) {
        light = colour(RED);
        dark = colour(MAROON);
    } else if (state == TrayState::Waiting) {
        light = colour(SILVER);
        dark = colour(GREY);
        mark = colour(NAVY);
    } else if (state == TrayState::Slow) {
        light = Color{255, 176, 0}; // amber, as the slow light
        dark = Color{160, 96, 0};
        mark = colour(BLACK);
    }
    // Lengths in sixteenths of the icon, as the 16-pixel icon has them in pixels.
    const double u = size / 16.0;
    const double c = size / 2.0;
    Canvas canvas(size, size, Canvas::Edges::Alpha);
    const Box all{0, 0, size, size};
    const double rim = std::max(1.0, 0.6 * u);
    canvas.Fill(Disc(c, c, 7.9 * u), Solid(colour(BLACK)), all);
    // Lit from the upper left: a white spot, the bright colour, a darker lower right.
    const double lx = 5.5 * u;
    const double ly = 5 * u;
    canvas.Fill(
        Disc(c, c, 7.9 * u - rim),
        [=](double x, double y) {
            const double d = std::hypot(x - lx, y - ly) / u;
            return d < 1.6 ? Mix(colour(WHITE), light, d / 1.6)
                           : Mix(light, dark, std::clamp((d - 5.5) / 4, 0.0, 1.0));
        },
        all);
    switch (state) {
    case TrayState::Alive:
        canvas.Fill(Stroke({{4.6 * u, 8.2 * u}, {6.8 * u, 10.4 * u}, {11.6 * u, 5.2 * u}}, 1.1 * u),
                    Solid(mark), all);
        break;
    case TrayState::Dead:
        canvas.Fill(Union({Stroke({{5.4 * u, 5.4 * u}, {10.6 * u, 10.6 * u}}, 1.0 * u),
                           Stroke({{10.6 * u, 5.4 * u}, {5.4 * u, 10.6 * u}}, 1.0 * u)}),
                    Solid(mark), all);
        break;
    case TrayState::Waiting:
        for (double x : {5.0, 8.0, 11.0}) {
            canvas.Fill(Disc(x * u, 8 * u, 1.1 * u), Solid(mark), all);
        }
        break;
    case TrayState::Slow:
        canvas.Fill(Union({Stroke({{8 * u, 3.6 * u}, {8 * u, 8.4 * u}}, 1.4 * u),
                           Disc(8 * u, 11.2 * u, 0.9 * u)}),
                    Solid(mark), all);
        break;
    }
    return canvas.ToAlpha();
}
