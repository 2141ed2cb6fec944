// Drawings of the five button strips, each cell in its own coordinates (Cell::x, Cell::y).
#include "button_art.h"

#include "emblem.h"
#include "pixel_font.h"
#include "strip.h"
#include "stroke_font.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;
const Color WHITE{255, 255, 255};

using Points = std::vector<std::pair<double, double>>;

Points Moved(const Points& points, double dx, double dy) {
    Points out;
    for (const auto& [x, y] : points) {
        out.push_back({x + dx, y + dy});
    }
    return out;
}

// A soft light laid over earlier paint: stacked discs, strongest in the middle.
void Glow(Canvas& canvas, Box clip, double cx, double cy, double radius, Color c, double strength) {
    for (int i = 1; i <= 4; ++i) {
        canvas.Fill(Disc(cx, cy, radius * i / 4), Solid(c), clip, strength / 4, true);
    }
}

// Strength 0, 0.5, 1, 0.5 over four frames: a pulse that loops without a jump.
double Pulse(const Cell& cell) {
    return 0.5 - 0.5 * std::cos(2 * PI * cell.Phase());
}

// A four-pointed twinkle of pale dots, `size` 0 (none) to 2.
void Twinkle(Canvas& canvas, const Cell& cell, int cx, int cy, int size) {
    const Color core{255, 255, 230};
    const Color arm{255, 250, 170};
    if (size <= 0) {
        return;
    }
    canvas.Dot(cx, cy, core, cell.inside);
    for (int d = 1; d <= size; ++d) {
        const Color c = d == 1 ? core : arm;
        canvas.Dot(cx + d, cy, c, cell.inside);
        canvas.Dot(cx - d, cy, c, cell.inside);
        canvas.Dot(cx, cy + d, c, cell.inside);
        canvas.Dot(cx, cy - d, c, cell.inside);
    }
}

void DrawTick(Canvas& canvas, const Cell& cell) {
    const Points tick = Moved({{8.5, 11.5}, {13, 16}, {23.5, 5.5}}, cell.x, cell.y);
    const double pulse = Pulse(cell);
    canvas.Fill(Stroke(tick, 3.4), Solid({18, 80, 22}), cell.inside);
    const Color top = Lighter({110, 215, 80}, 0.25 * pulse);
    const Color bottom = Lighter({25, 140, 35}, 0.25 * pulse);
    canvas.Fill(Stroke(tick, 2.3), VerticalGradient(top, bottom, cell.y + 3, cell.y + 19),
                cell.inside);
    canvas.Fill(Stroke(Moved(tick, -0.6, -0.8), 0.9), Solid(WHITE), cell.inside, 0.45, true);
    const int sizes[] = {0, 1, 2, 1};
    Twinkle(canvas, cell, static_cast<int>(cell.x) + 26, static_cast<int>(cell.y) + 4,
            sizes[cell.frame % 4]);
}

void DrawCross(Canvas& canvas, const Cell& cell) {
    const double cx = cell.x + 11.5;
    const double cy = cell.y + 11.5;
    const double arm = 5.0;
    const Points down = {{cx - arm, cy - arm}, {cx + arm, cy + arm}};
    const Points up = {{cx + arm, cy - arm}, {cx - arm, cy + arm}};
    const Shape outline = Union({Stroke(down, 3.3), Stroke(up, 3.3)});
    const Shape body = Union({Stroke(down, 2.2), Stroke(up, 2.2)});
    canvas.Fill(outline, Solid({105, 10, 12}), cell.inside);
    // Shaded like two round bars: light along their middles, deep red at their sides.
    const Paint tube = [=](double x, double y) {
        const double d = std::min(SegmentDistance(x, y, cx - arm, cy - arm, cx + arm, cy + arm),
                                  SegmentDistance(x, y, cx + arm, cy - arm, cx - arm, cy + arm));
        return Mix({255, 128, 104}, {176, 14, 18}, std::pow(std::min(d / 2.2, 1.0), 1.4));
    };
    canvas.Fill(body, tube, cell.inside);
    // The light runs round the four tips, one tip a frame, clockwise from the top left.
    const double angle = PI * (1.25 + 0.5 * cell.frame);
    Glow(canvas, cell.inside, cx + 4.6 * std::cos(angle), cy + 4.6 * std::sin(angle), 2.6,
         {255, 240, 230}, 0.7);
}

void DrawInfo(Canvas& canvas, const Cell& cell) {
    const double cx = cell.x + 19;
    const double cy = cell.y + 10.5;
    canvas.Fill(Disc(cx, cy, 8.6), Solid({16, 36, 112}), cell.inside);
    const double hx = cx - 3;
    const double hy = cy - 3.5;
    canvas.Fill(
        Disc(cx, cy, 7.5),
        [=](double x, double y) {
            return Mix({140, 190, 255}, {28, 76, 196},
                       std::min(std::hypot(x - hx, y - hy) / 11, 1.0));
        },
        cell.inside);
    // A bright arc circles the rim, a quarter turn a frame.
    const double at = -PI / 2 + PI / 2 * cell.frame;
    const Shape sector = [=](double x, double y) {
        const double d = std::remainder(std::atan2(y - cy, x - cx) - at, 2 * PI);
        return std::abs(d) < 0.75;
    };
    canvas.Fill(Intersect(Ring(cx, cy, 5.6, 7.5), sector), Solid({210, 235, 255}), cell.inside,
                0.75, true);
    const Color ink{252, 252, 255};
    canvas.Fill(Disc(cx, cy - 4.3, 1.45), Solid(ink), cell.inside);
    canvas.Fill(Union({RoundRect(cx - 1.15, cy - 1.6, cx + 1.15, cy + 5.2, 0.4),
                       RoundRect(cx - 2.3, cy - 1.6, cx + 1.15, cy - 0.5, 0.3),
                       RoundRect(cx - 2.4, cy + 4.1, cx + 2.4, cy + 5.2, 0.3)}),
                Solid(ink), cell.inside);
}

// The home-page link: a small house with smoke from its chimney, and the maker's address.
const char* const HOME_TEXT = "larkspindle.example";

void DrawHomePage(Canvas& canvas, const Cell& cell) {
    const int textWidth = PixelTextWidth(HOME_TEXT, true);
    const int houseWidth = 26;
    const int gap = 9;
    const double left = cell.x + 1 + (200 - (houseWidth + gap + textWidth)) / 2;
    const double top = cell.y;
    const Box clip = cell.inside;
    const Color line{72, 44, 28};

    // Smoke: two puffs rising from the chimney, each taking the next one's place after four
    // frames, growing and paling as they climb.
    for (int k = 0; k < 2; ++k) {
        const double s = (k + cell.Phase()) / 2;
        const double px = left + 20.5 + 3.5 * s;
        const double py = top + 9.5 - 7 * s;
        canvas.Fill(Disc(px, py, 1.3 + 1.4 * s), Solid(Mix({250, 250, 252}, {214, 220, 232}, s)),
                    clip);
    }
    // Chimney, then the walls, then the roof over both.
    canvas.Fill(RoundRect(left + 17.5, top + 9.5, left + 22.5, top + 17, 0.3), Solid(line), clip);
    canvas.Fill(RoundRect(left + 18.5, top + 10.5, left + 21.5, top + 17, 0.2),
                Solid({178, 74, 52}), clip);
    canvas.Fill(RoundRect(left + 3.5, top + 15, left + 22.5, top + 30, 0.3), Solid(line), clip);
    canvas.Fill(RoundRect(left + 4.5, top + 16, left + 21.5, top + 29, 0.2),
                VerticalGradient({252, 240, 206}, {222, 200, 156}, top + 16, top + 29), clip);
    const Points roof = Moved({{-0.5, 18.5}, {13, 5.5}, {26.5, 18.5}}, left, top);
    const Points roofInside = Moved({{1.8, 17.4}, {13, 7.1}, {24.2, 17.4}}, left, top);
    canvas.Fill(Polygon(roof), Solid(line), clip);
    canvas.Fill(Polygon(roofInside),
                VerticalGradient({230, 96, 64}, {158, 42, 30}, top + 7, top + 18), clip);
    // Door and a lit window whose light breathes with the smoke.
    canvas.Fill(RoundRect(left + 14.5, top + 21, left + 19.5, top + 29.5, 0.3), Solid(line), clip);
    canvas.Fill(RoundRect(left + 15.5, top + 22, left + 18.5, top + 29, 0.2), Solid({136, 82, 46}),
                clip);
    canvas.Dot(static_cast<int>(left) + 17, static_cast<int>(top) + 25, {240, 210, 120}, clip);
    canvas.Fill(RoundRect(left + 6.5, top + 19.5, left + 12.5, top + 25.5, 0.2), Solid(line), clip);
    const Color lamp = Mix({255, 214, 90}, {255, 246, 190}, Pulse(cell));
    canvas.Fill(RoundRect(left + 7.5, top + 20.5, left + 11.5, top + 24.5, 0.1), Solid(lamp), clip);
    canvas.Fill(
        Union({[=](double x, double y) {
                   return std::abs(x - (left + 9.5)) < 0.5 && y > top + 20.5 && y < top + 24.5;
               },
               [=](double x, double y) {
                   return std::abs(y - (top + 22.5)) < 0.5 && x > left + 7.5 && x < left + 11.5;
               }}),
        Solid(line), clip, 0.8, true);

    // The address as a link: bold blue letters, underlined.
    const int textX = static_cast<int>(left) + houseWidth + gap;
    const int baseline = static_cast<int>(top) + 20;
    const Color link{22, 56, 178};
    DrawPixelText(canvas, HOME_TEXT, textX, baseline, Solid(link), true, clip);
    for (int x = textX; x < textX + textWidth; ++x) {
        canvas.Dot(x, baseline + 3, link, clip);
    }
}

// The product banner: a deep blue plaque with the emblem, the name and a line of text.
const char* const BANNER_NAME = "Tarnwell";
const char* const BANNER_LINE = "network host watcher";

void DrawBanner(Canvas& canvas, const Cell& cell) {
    const double x = cell.x;
    const double y = cell.y;
    const Box clip = cell.inside;
    canvas.Fill(RoundRect(x + 3, y + 3, x + 301, y + 81, 10), Solid({12, 24, 60}), clip);
    canvas.Fill(RoundRect(x + 4.2, y + 4.2, x + 299.8, y + 79.8, 9),
                VerticalGradient({44, 92, 170}, {14, 34, 92}, y + 4, y + 80), clip);
    canvas.Fill(RoundRect(x + 7, y + 6, x + 297, y + 38, 8), Solid(WHITE), clip, 0.10, true);

    DrawEmblem(canvas, clip, x + 12, y + 6, 70);

    const double scale = 3.6;
    const double radius = 3.2;
    const double nameWidth = StrokeTextWidth(BANNER_NAME, scale);
    const double nameX = x + 100 + (190 - nameWidth) / 2;
    const double baseline = y + 52;
    canvas.Fill(StrokeText(BANNER_NAME, nameX + 2.5, baseline + 2.5, scale, radius + 1),
                Solid({0, 0, 20}), clip, 0.45, true);
    canvas.Fill(StrokeText(BANNER_NAME, nameX, baseline, scale, radius + 1.4), Solid({8, 18, 48}),
                clip);
    canvas.Fill(StrokeText(BANNER_NAME, nameX, baseline, scale, radius),
                VerticalGradient({255, 255, 255}, {168, 208, 255}, baseline - 38, baseline), clip);

    const int lineWidth = PixelTextWidth(BANNER_LINE, false);
    const int lineX = static_cast<int>(nameX + nameWidth / 2) - lineWidth / 2;
    DrawPixelText(canvas, BANNER_LINE, lineX, static_cast<int>(y) + 68, Solid({196, 222, 255}),
                  false, clip);
}

} // namespace

RgbImage DrawOkStrip() {
    return DrawStrip(4, 32, 23, DrawTick);
}

RgbImage DrawCancelStrip() {
    return DrawStrip(4, 23, 23, DrawCross);
}

RgbImage DrawAboutStrip() {
    return DrawStrip(4, 38, 21, DrawInfo);
}

RgbImage DrawHomePageStrip() {
    return DrawStrip(4, 202, 32, DrawHomePage);
}

RgbImage DrawBannerStrip() {
    return DrawStrip(1, 304, 84, DrawBanner);
}
