// Private to sculpt/: the tools behind applyBrush and the square a brush
// covers, in grid cells or map texels, shared by the height and the texture
// tools. Every bound is clipped before it becomes an index, so no brush size
// or pick position can reach outside the array, and a huge brush costs no
// more than the array it covers.
#pragma once

#include <cmath>
#include <cstddef>

// Integer part (toward zero) of v, with v first held to [low, high]: a brush
// or pick far off the array (or an infinite width) stays a valid int.
inline int truncWithin(double v, int low, int high)
{
    if (!(v >= double(low))) return low; // also catches NaN
    if (v > double(high)) return high;
    return int(v);
}

// The indices a brush of radius `radius` around `centre` visits along one
// axis of an array `size` long: trunc(centre - radius) up to the last index
// not above centre + radius, clipped to 0 .. size - 1. Empty when first > last.
struct BrushSpan {
    int first = 0;
    int last = -1;
    bool empty() const { return first > last; }
};

inline BrushSpan brushSpan(double centre, double radius, int size)
{
    BrushSpan span;
    span.first = truncWithin(centre - radius, 0, size);
    span.last = truncWithin(std::floor(centre + radius), -1, size - 1);
    return span;
}

// Widens the dirty bounds by the square around (cx, cy) of radii (rx, ry) on
// an array of width x height. Off the array the pinned bound moves to its
// edge, which is how a stroke over the sky still records the edge strip.
void growDirtyBounds(double cx, double cy, double rx, double ry, int width, int height);

// Copies the tiles of the held stroke's array that the rectangle (inclusive,
// clipped to the array) touches and that are not copied yet. Every tool
// calls it for the square it is about to write, before the first write.
void copyBeforeWrite(int x0, int y0, int x1, int y1);

// Stamp texel along one axis: offset from the square's first index scaled
// onto size - 1 texels across `span` whole cells, clamped to the stamp. A
// span of 0 (a brush narrower than a cell) samples the stamp's middle, where
// the square's centre would land: its corner is black in most stamps.
inline int stampIndex(double offset, int size, double span)
{
    if (span == 0.0) return (size - 1) / 2;
    return truncWithin(offset * double(size - 1) / span, 0, size - 1);
}

// Mean of the values that exist in the 3 x 3 block around (x, y) of a
// width x height array whose element (c, r) is values[(r * width + c) *
// stride] (a height of the vertex array, a channel of the map). Read live:
// elements smoothed earlier in the same pass count with their new value.
inline double localMean(const float* values, size_t stride, int width, int height, int x, int y)
{
    double sum = 0.0;
    int count = 0;
    const int rowFirst = y > 0 ? y - 1 : 0, rowLast = y + 1 < height ? y + 1 : height - 1;
    const int colFirst = x > 0 ? x - 1 : 0, colLast = x + 1 < width ? x + 1 : width - 1;
    for (int row = rowFirst; row <= rowLast; ++row) {
        for (int col = colFirst; col <= colLast; ++col) {
            sum += values[(size_t(row) * size_t(width) + size_t(col)) * stride];
            ++count;
        }
    }
    return sum / count;
}

// One application of the current height tool (0-4) or texture tool (5-7);
// applyBrush calls them once it has checked the stroke and its copy.
void applyHeightTool();
void applyTextureTool();
