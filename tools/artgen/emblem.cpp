// Globe and echo waves of the emblem.
#include "emblem.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

std::vector<std::pair<double, double>> ArcPoints(double cx, double cy, double r, double from,
                                                 double to) {
    std::vector<std::pair<double, double>> points;
    const int steps = 32;
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * PI / 180;
        points.push_back({cx + r * std::cos(a), cy - r * std::sin(a)});
    }
    return points;
}

} // namespace

void DrawEmblem(Canvas& canvas, Box clip, double x, double y, double size) {
    const bool small = size < 24;
    // The globe sits in the lower left; the waves spread from the top right of its rim.
    const double gx = x + size * 0.30;
    const double gy = y + size * 0.70;
    const double gr = size * 0.26;
    const double ex = gx + gr * 0.7071;
    const double ey = gy - gr * 0.7071;
    const double line = small ? 0 : std::max(1.0, size / 28);

    const std::vector<double> radii =
        small ? std::vector<double>{0.21, 0.41} : std::vector<double>{0.16, 0.29, 0.42};
    const double stroke = small ? size * 0.068 : size * 0.036;
    for (double radius : radii) {
        const auto arc = ArcPoints(ex, ey, radius * size, 8, 82);
        if (line > 0) {
            canvas.Fill(Stroke(arc, stroke + line), Solid({14, 70, 24}), clip);
        }
        canvas.Fill(Stroke(arc, stroke),
                    small ? Solid({34, 168, 56})
                          : VerticalGradient({150, 250, 140}, {40, 180, 70}, y, y + size * 0.5),
                    clip);
    }

    // The globe: outline, shaded body, then latitude and longitude lines.
    canvas.Fill(Disc(gx, gy, gr + std::max(line, 0.8)), Solid({12, 30, 80}), clip);
    const double hx = gx - gr * 0.4;
    const double hy = gy - gr * 0.45;
    canvas.Fill(
        Disc(gx, gy, gr),
        [=](double px, double py) {
            const double d = std::hypot(px - hx, py - hy) / (gr * 1.6);
            return Mix({150, 210, 255}, {18, 70, 170}, std::min(d, 1.0));
        },
        clip);
    if (!small) {
        const Shape body = Disc(gx, gy, gr - line * 0.5);
        const double w = std::max(0.6, size / 60);
        const Shape lines = Union({
            Minus(Ellipse(gx, gy, gr * 0.45 + w, gr), Ellipse(gx, gy, gr * 0.45 - w, gr - w)),
            [=](double px, double) { return std::abs(px - gx) <= w; },
            [=](double, double py) { return std::abs(py - gy) <= w; },
            [=](double, double py) { return std::abs(std::abs(py - gy) - gr * 0.5) <= w; },
        });
        canvas.Fill(Intersect(body, lines), Solid({200, 235, 255}), clip, 0.45, true);
    }
    // A soft gloss on the upper left.
    canvas.Fill(Ellipse(gx - gr * 0.3, gy - gr * 0.45, gr * 0.45, gr * 0.28),
                Solid({255, 255, 255}), clip, 0.35, true);
}
