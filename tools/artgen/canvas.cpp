// Sampling, compositing and the basic shapes of the artwork canvas.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int SAMPLES = 4; // per pixel side

uint8_t Channel(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

} // namespace

Color Mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Color Lighter(Color c, double t) {
    return Mix(c, {255, 255, 255}, t);
}

Color Darker(Color c, double t) {
    return Mix(c, {0, 0, 0}, t);
}

Color Gray(double level) {
    return {level, level, level};
}

Paint Solid(Color c) {
    return [c](double, double) { return c; };
}

Paint VerticalGradient(Color top, Color bottom, double y0, double y1) {
    return [=](double, double y) {
        return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0));
    };
}

Canvas::Canvas(int width, int height, Edges edges)
    : width_(width), height_(height), edges_(edges), color_(static_cast<size_t>(width * height)),
      alpha_(static_cast<size_t>(width * height)) {}

void Canvas::Fill(const Shape& shape, const Paint& paint, Box clip, double opacity,
                  bool overPaintOnly) {
    const int left = std::max(clip.left, 0);
    const int top = std::max(clip.top, 0);
    const int right = std::min(clip.right, width_);
    const int bottom = std::min(clip.bottom, height_);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const size_t i = Index(x, y);
            if (overPaintOnly && alpha_[i] == 0) {
                continue;
            }
            int hits = 0;
            for (int sy = 0; sy < SAMPLES; ++sy) {
                for (int sx = 0; sx < SAMPLES; ++sx) {
                    hits += shape(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES) ? 1 : 0;
                }
            }
            if (hits == 0) {
                continue;
            }
            const double coverage = static_cast<double>(hits) / (SAMPLES * SAMPLES);
            const Color c = paint(x + 0.5, y + 0.5);
            if (edges_ == Edges::Keyed && alpha_[i] == 0) {
                // Over the background: whole or nothing, never a blend with the key.
                if (coverage >= 0.5 && opacity >= 0.5) {
                    color_[i] = c;
                    alpha_[i] = 1;
                }
                continue;
            }
            const double k = coverage * opacity;
            const double a = alpha_[i];
            const double out = k + a * (1 - k);
            const Color under = color_[i];
            color_[i] = {(c.r * k + under.r * a * (1 - k)) / out,
                         (c.g * k + under.g * a * (1 - k)) / out,
                         (c.b * k + under.b * a * (1 - k)) / out};
            alpha_[i] = out;
        }
    }
}

void Canvas::Dot(int x, int y, Color c, Box clip) {
    if (x < std::max(clip.left, 0) || x >= std::min(clip.right, width_) ||
        y < std::max(clip.top, 0) || y >= std::min(clip.bottom, height_)) {
        return;
    }
    color_[Index(x, y)] = c;
    alpha_[Index(x, y)] = 1;
}

bool Canvas::Painted(int x, int y) const {
    return alpha_[Index(x, y)] > 0;
}

Color Canvas::At(int x, int y) const {
    return color_[Index(x, y)];
}

void Canvas::Retone(Box clip, const std::function<Color(Color)>& tone) {
    for (int y = std::max(clip.top, 0); y < std::min(clip.bottom, height_); ++y) {
        for (int x = std::max(clip.left, 0); x < std::min(clip.right, width_); ++x) {
            if (Painted(x, y)) {
                color_[Index(x, y)] = tone(color_[Index(x, y)]);
            }
        }
    }
}

RgbImage Canvas::ToKeyed(Rgb8 key) const {
    RgbImage image{width_, height_, std::vector<Rgb8>(static_cast<size_t>(width_ * height_), key)};
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        if (alpha_[i] == 0) {
            continue;
        }
        Rgb8 p{Channel(color_[i].r), Channel(color_[i].g), Channel(color_[i].b)};
        if (p == key) {
            p.r = static_cast<uint8_t>(key.r > 0 ? key.r - 1 : 1);
        }
        image.pixels[i] = p;
    }
    return image;
}

RgbaImage Canvas::ToAlpha() const {
    RgbaImage image{width_, height_, std::vector<Rgba8>(static_cast<size_t>(width_ * height_))};
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const double a = std::clamp(alpha_[i], 0.0, 1.0);
        image.pixels[i] = a == 0 ? Rgba8{}
                                 : Rgba8{Channel(color_[i].r), Channel(color_[i].g),
                                         Channel(color_[i].b), Channel(a * 255)};
    }
    return image;
}

Shape Disc(double cx, double cy, double radius) {
    return [=](double x, double y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        const double u = (x - cx) / rx;
        const double v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
}

Shape Ring(double cx, double cy, double inner, double outer) {
    return [=](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= outer * outer && d2 >= inner * inner;
    };
}

Shape RoundRect(double left, double top, double right, double bottom, double radius) {
    return [=](double x, double y) {
        if (x < left || x > right || y < top || y > bottom) {
            return false;
        }
        const double cx = std::clamp(x, left + radius, right - radius);
        const double cy = std::clamp(y, top + radius, bottom - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape Polygon(std::vector<std::pair<double, double>> points) {
    return [points](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                inside = !inside;
            }
        }
        return inside;
    };
}

double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 == 0 ? 0 : std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0);
    const double px = ax + t * dx - x;
    const double py = ay + t * dy - y;
    return std::sqrt(px * px + py * py);
}

Shape Stroke(std::vector<std::pair<double, double>> points, double radius) {
    // The bounding box first: most samples of a large picture lie far from any one stroke.
    double left = points[0].first;
    double right = left;
    double top = points[0].second;
    double bottom = top;
    for (const auto& [x, y] : points) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    left -= radius;
    right += radius;
    top -= radius;
    bottom += radius;
    return [=](double x, double y) {
        if (x < left || x > right || y < top || y > bottom) {
            return false;
        }
        if (points.size() == 1) {
            return std::hypot(x - points[0].first, y - points[0].second) <= radius;
        }
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            if (SegmentDistance(x, y, points[i].first, points[i].second, points[i + 1].first,
                                points[i + 1].second) <= radius) {
                return true;
            }
        }
        return false;
    };
}

Shape Union(std::vector<Shape> parts) {
    return [parts](double x, double y) {
        return std::any_of(parts.begin(), parts.end(), [&](const Shape& s) { return s(x, y); });
    };
}

Shape Minus(Shape a, Shape b) {
    return [a, b](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape Intersect(Shape a, Shape b) {
    return [a, b](double x, double y) { return a(x, y) && b(x, y); };
}
