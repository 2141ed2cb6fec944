// Centre lines of the stroke letters (only those the artwork spells).
#include "stroke_font.h"

#include <cmath>
#include <map>
#include <vector>

namespace {

using Line = std::vector<std::pair<double, double>>;

struct StrokeGlyph {
    double advance; // from this letter's left centre line to its right one
    std::vector<Line> lines;
};

constexpr double LETTER_GAP = 2.6; // units between letters' centre lines
constexpr double PI = 3.14159265358979323846;

// Points along an elliptical arc, angles in degrees counter-clockwise with y up.
Line Arc(double cx, double cy, double rx, double ry, double from, double to) {
    Line line;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * PI / 180;
        line.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return line;
}

Line Join(Line a, const Line& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::map<char, StrokeGlyph>& Glyphs() {
    static const std::map<char, StrokeGlyph> glyphs = {
        {'T', {6.4, {{{0, 10}, {6.4, 10}}, {{3.2, 10}, {3.2, 0}}}}},
        {'a', {5.0, {Arc(2.5, 3.5, 2.5, 3.5, 0, 360), {{5.0, 7}, {5.0, 0}}}}},
        {'r', {4.0, {{{0, 7}, {0, 0}}, Arc(3.2, 3.6, 3.2, 3.4, 180, 65)}}},
        {'n', {5.0, {{{0, 7}, {0, 0}}, Join(Arc(2.5, 4.4, 2.5, 2.6, 180, 0), {{5.0, 0}})}}},
        {'w', {7.2, {{{0, 7}, {1.7, 0}, {3.6, 5.6}, {5.5, 0}, {7.2, 7}}}}},
        {'e', {5.0, {{{0, 3.6}, {5.0, 3.6}}, Arc(2.5, 3.5, 2.5, 3.5, 0, 315)}}},
        {'l', {0, {{{0, 10.6}, {0, 0}}}}},
    };
    return glyphs;
}

} // namespace

bool StrokeFontHas(const std::string& text) {
    for (char c : text) {
        if (Glyphs().count(c) == 0) {
            return false;
        }
    }
    return true;
}

double StrokeTextWidth(const std::string& text, double scale) {
    double units = 0;
    for (char c : text) {
        units += Glyphs().at(c).advance + LETTER_GAP;
    }
    return text.empty() ? 0 : (units - LETTER_GAP) * scale;
}

Shape StrokeText(const std::string& text, double x, double baseline, double scale, double radius) {
    std::vector<Shape> strokes;
    double pen = 0;
    for (char c : text) {
        const StrokeGlyph& glyph = Glyphs().at(c);
        for (const Line& line : glyph.lines) {
            Line pixels;
            for (const auto& [u, v] : line) {
                pixels.push_back({x + (pen + u) * scale, baseline - v * scale});
            }
            strokes.push_back(Stroke(pixels, radius));
        }
        pen += glyph.advance + LETTER_GAP;
    }
    return Union(strokes);
}
