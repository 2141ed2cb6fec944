// A drawing surface for the artwork: shapes are sampled 4 x 4 times per pixel and filled with a
// colour function. Two edge rules: keyed pictures (button strips) have a background that is
// recoloured at run time, so a shape's edge over the background is taken whole or not at all
// and only edges over earlier paint are smoothed; alpha pictures (icons) keep the coverage as
// opacity.
#pragma once

#include "image_files.h"

#include <functional>
#include <vector>

struct Color {
    double r = 0;
    double g = 0;
    double b = 0;
};

Color Mix(Color a, Color b, double t); // a at 0, b at 1
Color Lighter(Color c, double t);      // towards white
Color Darker(Color c, double t);       // towards black
Color Gray(double level);

// Is the point (x, y), in pixel units with y growing downwards, inside the shape?
using Shape = std::function<bool(double x, double y)>;
// The colour of the paint at (x, y).
using Paint = std::function<Color(double x, double y)>;

Paint Solid(Color c);
// Blends from `top` at y0 to `bottom` at y1.
Paint VerticalGradient(Color top, Color bottom, double y0, double y1);

struct Box {
    int left = 0;
    int top = 0;
    int right = 0; // exclusive
    int bottom = 0;
};

class Canvas {
public:
    enum class Edges { Keyed, Alpha };

    Canvas(int width, int height, Edges edges);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Fills `shape` inside `clip`. `opacity` below 1 lays the paint over what is there;
    // with `overPaintOnly` the background is never touched (for highlights and shading).
    void Fill(const Shape& shape, const Paint& paint, Box clip, double opacity = 1.0,
              bool overPaintOnly = false);

    // Sets one pixel whole, as a hard-edged dot (pixel fonts, pixel art).
    void Dot(int x, int y, Color c, Box clip);

    bool Painted(int x, int y) const;
    Color At(int x, int y) const;

    // Applies `tone` to every painted pixel inside `clip`.
    void Retone(Box clip, const std::function<Color(Color)>& tone);

    // The keyed picture: unpainted pixels are exactly `key`; a painted pixel that would come
    // out as the key is moved one step off it, so that it is never recoloured.
    RgbImage ToKeyed(Rgb8 key) const;
    RgbaImage ToAlpha() const;

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y * width_ + x); }

    int width_;
    int height_;
    Edges edges_;
    std::vector<Color> color_;
    std::vector<double> alpha_;
};

// Shapes, in pixel units.
Shape Disc(double cx, double cy, double radius);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape Ring(double cx, double cy, double inner, double outer);
Shape RoundRect(double left, double top, double right, double bottom, double radius);
Shape Polygon(std::vector<std::pair<double, double>> points);
// Points within `radius` of the polyline through `points`.
Shape Stroke(std::vector<std::pair<double, double>> points, double radius);
Shape Union(std::vector<Shape> parts);
Shape Minus(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);

// Distance from (x, y) to the segment a-b.
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by);
