// Glyphs of the pixel font: rows 0-7 stand on the baseline (row 7), rows 8-9 hang below it.
#include "pixel_font.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

using Glyph = std::vector<std::string>;

const std::map<char, Glyph>& Glyphs() {
    static const std::map<char, Glyph> glyphs = {
        {'a', {".....", ".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
        {'b', {"#....", "#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
        {'c', {".....", ".....", ".....", ".####", "#....", "#....", "#....", ".####"}},
        {'d', {"....#", "....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
        {'e', {".....", ".....", ".....", ".###.", "#...#", "#####", "#....", ".####"}},
        {'f', {"..##", ".#..", ".#..", "####", ".#..", ".#..", ".#..", ".#.."}},
        {'g',
         {".....", ".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#",
          "####."}},
        {'h', {"#....", "#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'i', {".", "#", ".", "#", "#", "#", "#", "#"}},
        {'j', {"..", ".#", "..", ".#", ".#", ".#", ".#", ".#", ".#", "#."}},
        {'k', {"#...", "#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"}},
        {'l', {"#", "#", "#", "#", "#", "#", "#", "#"}},
        {'m',
         {".......", ".......", ".......", "######.", "#..#..#", "#..#..#", "#..#..#", "#..#..#"}},
        {'n', {".....", ".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'o', {".....", ".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'p',
         {".....", ".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....",
          "#...."}},
        {'q',
         {".....", ".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#",
          "....#"}},
        {'r', {"....", "....", "....", "#.##", "##..", "#...", "#...", "#..."}},
        {'s', {".....", ".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
        {'t', {"....", ".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"}},
        {'u', {".....", ".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####"}},
        {'v', {".....", ".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
        {'w',
         {".......", ".......", ".......", "#.....#", "#..#..#", "#..#..#", "#.#.#.#", ".#...#."}},
        {'x', {".....", ".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
        {'y',
         {".....", ".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#",
          "####."}},
        {'z', {".....", ".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'.', {".", ".", ".", ".", ".", ".", ".", "#"}},
        {'-', {"....", "....", "....", "....", "....", "####", "....", "...."}},
        {' ', {"..", "..", "..", "..", "..", "..", "..", ".."}},
    };
    return glyphs;
}

int GlyphWidth(const Glyph& glyph, bool bold) {
    return static_cast<int>(glyph[0].size()) + (bold ? 1 : 0);
}

// Whether dot (col, row) of the glyph is set; bold doubles each dot to the right.
bool DotSet(const Glyph& glyph, int col, int row, bool bold) {
    if (row < 0 || row >= static_cast<int>(glyph.size())) {
        return false;
    }
    const auto on = [&](int c) {
        return c >= 0 && c < static_cast<int>(glyph[row].size()) && glyph[row][c] == '#';
    };
    return on(col) || (bold && on(col - 1));
}

} // namespace

bool PixelFontHas(const std::string& text) {
    for (char c : text) {
        if (Glyphs().count(c) == 0) {
            return false;
        }
    }
    return true;
}

int PixelTextWidth(const std::string& text, bool bold) {
    int width = 0;
    for (char c : text) {
        width += GlyphWidth(Glyphs().at(c), bold) + 1;
    }
    return text.empty() ? 0 : width - 1;
}

void DrawPixelText(Canvas& canvas, const std::string& text, int x, int baseline, const Paint& paint,
                   bool bold, Box clip) {
    const int top = baseline - (PIXEL_FONT_ASCENT - 1);
    for (char c : text) {
        const Glyph& glyph = Glyphs().at(c);
        for (size_t row = 0; row < glyph.size(); ++row) {
            const int y = top + static_cast<int>(row);
            for (size_t col = 0; col < glyph[row].size(); ++col) {
                if (glyph[row][col] != '#') {
                    continue;
                }
                for (int extra = 0; extra <= (bold ? 1 : 0); ++extra) {
                    const int px = x + static_cast<int>(col) + extra;
                    canvas.Dot(px, y, paint(px + 0.5, y + 0.5), clip);
                }
            }
        }
        x += GlyphWidth(glyph, bold) + 1;
    }
}

void DrawPixelTextScaled(Canvas& canvas, const std::string& text, double x, double baseline,
                         double scale, const Paint& paint, bool bold, Box clip) {
    const double top = baseline - (PIXEL_FONT_ASCENT - 1) * scale;
    const double radius = scale / 2;
    for (char c : text) {
        const Glyph& glyph = Glyphs().at(c);
        const int width = GlyphWidth(glyph, bold);
        const auto centre = [&](int col, int row) {
            return std::pair{x + (col + 0.5) * scale, top + (row + 0.5) * scale};
        };
        // Strokes to the right and downwards; a diagonal only where no corner dot joins the
        // two already, which would thicken the bend.
        std::vector<Shape> strokes;
        for (int row = 0; row < static_cast<int>(glyph.size()); ++row) {
            for (int col = 0; col < width; ++col) {
                if (!DotSet(glyph, col, row, bold)) {
                    continue;
                }
                bool joined = false;
                const auto join = [&](int toCol, int toRow) {
                    strokes.push_back(Stroke({centre(col, row), centre(toCol, toRow)}, radius));
                    joined = true;
                };
                if (DotSet(glyph, col + 1, row, bold)) {
                    join(col + 1, row);
                }
                if (DotSet(glyph, col, row + 1, bold)) {
                    join(col, row + 1);
                }
                for (int side : {-1, 1}) {
                    if (DotSet(glyph, col + side, row + 1, bold) &&
                        !DotSet(glyph, col + side, row, bold) &&
                        !DotSet(glyph, col, row + 1, bold)) {
                        join(col + side, row + 1);
                    }
                }
                const bool joinedBefore =
                    DotSet(glyph, col - 1, row, bold) || DotSet(glyph, col, row - 1, bold) ||
                    DotSet(glyph, col - 1, row - 1, bold) || DotSet(glyph, col + 1, row - 1, bold);
                if (!joined && !joinedBefore) {
                    strokes.push_back(Stroke({centre(col, row)}, radius));
                }
            }
        }
        // Only the glyph's own box is sampled.
        const Box box{
            std::max(clip.left, static_cast<int>(std::floor(x)) - 1),
            std::max(clip.top, static_cast<int>(std::floor(top)) - 1),
            std::min(clip.right, static_cast<int>(std::ceil(x + width * scale)) + 1),
            std::min(clip.bottom, static_cast<int>(std::ceil(top + glyph.size() * scale)) + 1)};
        canvas.Fill(Union(strokes), paint, box);
        x += (width + 1) * scale;
    }
}
