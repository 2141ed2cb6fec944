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

// Points given at 100 %, at the cell's scale, placed from (dx, dy).
Points Placed(const Points& points, const Cell& cell, double dx, double dy) {
    Points out;
    for (const auto& [x, y] : points) {
        out.push_back({cell.S(x) + dx, cell.S(y) + dy});
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

// A four-pointed twinkle of pale dots, `size` 0 (none) to 2, centred on the dot (dx, dy) of
// the cell at 100 %. Larger cells draw the same star with strokes through the dots' centres.
void Twinkle(Canvas& canvas, const Cell& cell, int dx, int dy, int size) {
    const Color core{255, 255, 230};
    const Color arm{255, 250, 170};
    if (size <= 0) {
        return;
    }
    if (cell.scale != 1) {
        const double x = cell.x + cell.S(dx + 0.5);
        const double y = cell.y + cell.S(dy + 0.5);
        const auto star = [&](double reach, double radius) {
            return Union({Stroke({{x - cell.S(reach), y}, {x + cell.S(reach), y}}, radius),
                          Stroke({{x, y - cell.S(reach)}, {x, y + cell.S(reach)}}, radius)});
        };
        if (size > 1) {
            canvas.Fill(star(size, cell.S(0.5)), Solid(arm), cell.inside);
        }
        canvas.Fill(star(1, cell.S(0.5)), Solid(core), cell.inside);
        canvas.Fill(Disc(x, y, cell.S(0.75)), Solid(core), cell.inside);
        return;
    }
    const int cx = static_cast<int>(cell.x) + dx;
    const int cy = static_cast<int>(cell.y) + dy;
    canvas.Dot(cx, cy, core, cell.inside);
    for (int d = 1; d <= size; ++d) {
        const Color c = d == 1 ? core : arm;
        canvas.Dot(cx + d, cy, c, cell.inside);
        canvas.Dot(cx - d, cy, c, cell.inside);
        canvas.Dot(cx, cy + d, c, cell.inside);
        canvas.Dot(cx, cy - d, c, cell.inside);
    }
}

} // namespace

void DrawTickCell(Canvas& canvas, const Cell& cell) {
    const Points tick = Placed({{8.5, 11.5}, {13, 16}, {23.5, 5.5}}, cell, cell.x, cell.y);
    const double pulse = Pulse(cell);
    canvas.Fill(Stroke(tick, cell.S(3.4)), Solid({18, 80, 22}), cell.inside);
    const Color top = Lighter({110, 215, 80}, 0.25 * pulse);
    const Color bottom = Lighter({25, 140, 35}, 0.25 * pulse);
    canvas.Fill(Stroke(tick, cell.S(2.3)),
                VerticalGradient(top, bottom, cell.y + cell.S(3), cell.y + cell.S(19)),
                cell.inside);
    canvas.Fill(Stroke(Moved(tick, cell.S(-0.6), cell.S(-0.8)), cell.S(0.9)), Solid(WHITE),
                cell.inside, 0.45, true);
    const int sizes[] = {0, 1, 2, 1};
    Twinkle(canvas, cell, 26, 4, sizes[cell.frame % 4]);
}

void DrawCrossCell(Canvas& canvas, const Cell& cell) {
    const double cx = cell.x + cell.S(11.5);
    const double cy = cell.y + cell.S(11.5);
    const double arm = cell.S(5.0);
    const double half = cell.S(2.2); // the bars' half width
    const Points down = {{cx - arm, cy - arm}, {cx + arm, cy + arm}};
    const Points up = {{cx + arm, cy - arm}, {cx - arm, cy + arm}};
    const Shape outline = Union({Stroke(down, cell.S(3.3)), Stroke(up, cell.S(3.3))});
    const Shape body = Union({Stroke(down, half), Stroke(up, half)});
    canvas.Fill(outline, Solid({105, 10, 12}), cell.inside);
    // Shaded like two round bars: light along their middles, deep red at their sides.
    const Paint tube = [=](double x, double y) {
        const double d = std::min(SegmentDistance(x, y, cx - arm, cy - arm, cx + arm, cy + arm),
                                  SegmentDistance(x, y, cx + arm, cy - arm, cx - arm, cy + arm));
        return Mix({255, 128, 104}, {176, 14, 18}, std::pow(std::min(d / half, 1.0), 1.4));
    };
    canvas.Fill(body, tube, cell.inside);
    // The light runs round the four tips, one tip a frame, clockwise from the top left.
    const double angle = PI * (1.25 + 0.5 * cell.frame);
    Glow(canvas, cell.inside, cx + cell.S(4.6) * std::cos(angle),
         cy + cell.S(4.6) * std::sin(angle), cell.S(2.6), {255, 240, 230}, 0.7);
}

void DrawInfoCell(Canvas& canvas, const Cell& cell) {
    const double cx = cell.x + cell.S(19);
    const double cy = cell.y + cell.S(10.5);
    canvas.Fill(Disc(cx, cy, cell.S(8.6)), Solid({16, 36, 112}), cell.inside);
    const double hx = cx - cell.S(3);
    const double hy = cy - cell.S(3.5);
    const double reach = cell.S(11);
    canvas.Fill(
        Disc(cx, cy, cell.S(7.5)),
        [=](double x, double y) {
            return Mix({140, 190, 255}, {28, 76, 196},
                       std::min(std::hypot(x - hx, y - hy) / reach, 1.0));
        },
        cell.inside);
    // A bright arc circles the rim, a quarter turn a frame.
    const double at = -PI / 2 + PI / 2 * cell.frame;
    const Shape sector = [=](double x, double y) {
        const double d = std::remainder(std::atan2(y - cy, x - cx) - at, 2 * PI);
        return std::abs(d) < 0.75;
    };
    canvas.Fill(Intersect(Ring(cx, cy, cell.S(5.6), cell.S(7.5)), sector), Solid({210, 235, 255}),
                cell.inside, 0.75, true);
    const Color ink{252, 252, 255};
    const auto box = [&](double l, double t, double r, double b, double radius) {
        return RoundRect(cx + cell.S(l), cy + cell.S(t), cx + cell.S(r), cy + cell.S(b),
                         cell.S(radius));
    };
    canvas.Fill(Disc(cx, cy - cell.S(4.3), cell.S(1.45)), Solid(ink), cell.inside);
    canvas.Fill(Union({box(-1.15, -1.6, 1.15, 5.2, 0.4), box(-2.3, -1.6, 1.15, -0.5, 0.3),
                       box(-2.4, 4.1, 2.4, 5.2, 0.3)}),
                Solid(ink), cell.inside);
}

// The home-page link: a small house with smoke from its chimney, and the maker's address.
const char* const HOME_TEXT = "larkspindle.example";

void DrawHomePageCell(Canvas& canvas, const Cell& cell) {
    const auto S = [&](double length) { return cell.S(length); };
    const int textWidth = PixelTextWidth(HOME_TEXT, true);
    const int houseWidth = 26;
    const int gap = 9;
    const double left = cell.x + S(1 + (200 - (houseWidth + gap + textWidth)) / 2);
    const double top = cell.y;
    const Box clip = cell.inside;
    const Color line{72, 44, 28};
    const auto box = [&](double l, double t, double r, double b, double radius) {
        return RoundRect(left + S(l), top + S(t), left + S(r), top + S(b), S(radius));
    };

    // Smoke: two puffs rising from the chimney, each taking the next one's place after four
    // frames, growing and paling as they climb.
    for (int k = 0; k < 2; ++k) {
        const double s = (k + cell.Phase()) / 2;
        const double px = left + S(20.5) + S(3.5) * s;
        const double py = top + S(9.5) - S(7) * s;
        canvas.Fill(Disc(px, py, S(1.3 + 1.4 * s)), Solid(Mix({250, 250, 252}, {214, 220, 232}, s)),
                    clip);
    }
    // Chimney, then the walls, then the roof over both.
    canvas.Fill(box(17.5, 9.5, 22.5, 17, 0.3), Solid(line), clip);
    canvas.Fill(box(18.5, 10.5, 21.5, 17, 0.2), Solid({178, 74, 52}), clip);
    canvas.Fill(box(3.5, 15, 22.5, 30, 0.3), Solid(line), clip);
    canvas.Fill(box(4.5, 16, 21.5, 29, 0.2),
                VerticalGradient({252, 240, 206}, {222, 200, 156}, top + S(16), top + S(29)), clip);
    const Points roof = Placed({{-0.5, 18.5}, {13, 5.5}, {26.5, 18.5}}, cell, left, top);
    const Points roofInside = Placed({{1.8, 17.4}, {13, 7.1}, {24.2, 17.4}}, cell, left, top);
    canvas.Fill(Polygon(roof), Solid(line), clip);
    canvas.Fill(Polygon(roofInside),
                VerticalGradient({230, 96, 64}, {158, 42, 30}, top + S(7), top + S(18)), clip);
    // Door and a lit window whose light breathes with the smoke.
    canvas.Fill(box(14.5, 21, 19.5, 29.5, 0.3), Solid(line), clip);
    canvas.Fill(box(15.5, 22, 18.5, 29, 0.2), Solid({136, 82, 46}), clip);
    const Color knob{240, 210, 120};
    if (cell.scale == 1) {
        canvas.Dot(static_cast<int>(left) + 17, static_cast<int>(top) + 25, knob, clip);
    } else {
        canvas.Fill(Disc(left + S(17.5), top + S(25.5), S(0.6)), Solid(knob), clip);
    }
    canvas.Fill(box(6.5, 19.5, 12.5, 25.5, 0.2), Solid(line), clip);
    const Color lamp = Mix({255, 214, 90}, {255, 246, 190}, Pulse(cell));
    canvas.Fill(box(7.5, 20.5, 11.5, 24.5, 0.1), Solid(lamp), clip);
    canvas.Fill(Union({[=](double x, double y) {
                           return std::abs(x - (left + S(9.5))) < S(0.5) && y > top + S(20.5) &&
                                  y < top + S(24.5);
                       },
                       [=](double x, double y) {
                           return std::abs(y - (top + S(22.5))) < S(0.5) && x > left + S(7.5) &&
                                  x < left + S(11.5);
                       }}),
                Solid(line), clip, 0.8, true);

    // The address as a link: bold blue letters, underlined.
    const Color link{22, 56, 178};
    if (cell.scale == 1) {
        const int textX = static_cast<int>(left) + houseWidth + gap;
        const int baseline = static_cast<int>(top) + 20;
        DrawPixelText(canvas, HOME_TEXT, textX, baseline, Solid(link), true, clip);
        for (int x = textX; x < textX + textWidth; ++x) {
            canvas.Dot(x, baseline + 3, link, clip);
        }
        return;
    }
    const double textX = left + S(houseWidth + gap);
    DrawPixelTextScaled(canvas, HOME_TEXT, textX, top + S(20), cell.scale, Solid(link), true, clip);
    // The underline whole pixels thick, as a link's underline is.
    const int underline = static_cast<int>(std::lround(top + S(23)));
    for (int y = underline; y < underline + static_cast<int>(cell.scale); ++y) {
        for (int x = static_cast<int>(std::lround(textX));
             x < static_cast<int>(std::lround(textX + S(textWidth))); ++x) {
            canvas.Dot(x, y, link, clip);
        }
    }
}

// The product banner: a deep blue plaque with the emblem, the name and a line of text.
const char* const BANNER_NAME = "Tarnwell";
const char* const BANNER_LINE = "network host watcher";

void DrawBannerCell(Canvas& canvas, const Cell& cell) {
    const auto S = [&](double length) { return cell.S(length); };
    const double x = cell.x;
    const double y = cell.y;
    const Box clip = cell.inside;
    const auto plaque = [&](double l, double t, double r, double b, double radius) {
        return RoundRect(x + S(l), y + S(t), x + S(r), y + S(b), S(radius));
    };
    canvas.Fill(plaque(3, 3, 301, 81, 10), Solid({12, 24, 60}), clip);
    canvas.Fill(plaque(4.2, 4.2, 299.8, 79.8, 9),
                VerticalGradient({44, 92, 170}, {14, 34, 92}, y + S(4), y + S(80)), clip);
    canvas.Fill(plaque(7, 6, 297, 38, 8), Solid(WHITE), clip, 0.10, true);

    DrawEmblem(canvas, clip, x + S(12), y + S(6), S(70));

    const double scale = S(3.6);
    const double radius = S(3.2);
    const double nameWidth = StrokeTextWidth(BANNER_NAME, scale);
    const double nameX = x + S(100) + (S(190) - nameWidth) / 2;
    const double baseline = y + S(52);
    canvas.Fill(StrokeText(BANNER_NAME, nameX + S(2.5), baseline + S(2.5), scale, radius + S(1)),
                Solid({0, 0, 20}), clip, 0.45, true);
    canvas.Fill(StrokeText(BANNER_NAME, nameX, baseline, scale, radius + S(1.4)),
                Solid({8, 18, 48}), clip);
    canvas.Fill(StrokeText(BANNER_NAME, nameX, baseline, scale, radius),
                VerticalGradient({255, 255, 255}, {168, 208, 255}, baseline - S(38), baseline),
                clip);

    const int lineWidth = PixelTextWidth(BANNER_LINE, false);
    const Paint lineInk = Solid({196, 222, 255});
    if (cell.scale == 1) {
        const int lineX = static_cast<int>(nameX + nameWidth / 2) - lineWidth / 2;
        DrawPixelText(canvas, BANNER_LINE, lineX, static_cast<int>(y) + 68, lineInk, false, clip);
        return;
    }
    // Whole pixels from the name's middle, as at 100 %, so the letters keep their crisp edges.
    const double lineX = std::floor(nameX + nameWidth / 2 - S(lineWidth) / 2);
    DrawPixelTextScaled(canvas, BANNER_LINE, lineX, y + S(68), cell.scale, lineInk, false, clip);
}
