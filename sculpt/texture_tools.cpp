// Paint, Erase and Smooth Texture: one application to the distribution map
// around the clamped pick point, then a report of the touched texels.
#include <algorithm>
#include <cmath>

#include "app/editor_state.h"
#include "terrain/terrain_events.h"
#include "sculpt/brush_geometry.h"
#include "sculpt/stamps.h"
#include "terrain/terrain.h"

static void applyToTexel(Terrain& terrain, int tx, int ty, double w)
{
    float* texel = &terrain.distribution[(size_t(ty) * size_t(terrain.distributionWidth) + size_t(tx)) * 3];
    const double frame = double(editor.frameMillis);
    switch (editor.currentOp) {
    case kToolPaint: {
        const double a = frame * editor.brushStrength * 0.25 * w;
        for (int channel = 0; channel < 3; ++channel) {
            const double c = texel[channel];
            texel[channel] = channel == editor.paintTexture ? float(std::min(c + a / 255.0, 1.0))
                                                            : float(std::max(c - 0.5 * a / 255.0, 0.0));
        }
        break;
    }
    case kToolErase: {
        // Pulls every weight toward an even mix; strength plays no part.
        const double e = std::min(frame * w / 65.0, 1.0);
        for (int channel = 0; channel < 3; ++channel) {
            texel[channel] = float((1.0 - e) * texel[channel] + double(0.3f) * e);
        }
        break;
    }
    case kToolSmoothTexture: {
        const double s = frame / 325.0 * editor.brushStrength * w;
        for (int channel = 0; channel < 3; ++channel) {
            const double mean = localMean(terrain.distribution.data() + channel, 3, terrain.distributionWidth,
                                          terrain.distributionHeight, tx, ty);
            texel[channel] = float((1.0 - s) * texel[channel] + s * mean);
        }
        break;
    }
    default: break;
    }
}

void applyTextureTool()
{
    Terrain& terrain = editor.terrain;
    const int width = terrain.distributionWidth, height = terrain.distributionHeight;
    if (!hasDistributionMap()) return;
    if (terrain.gridX < 1 || terrain.gridY < 1 || !(terrain.blockWidth > 0.0f)) return;

    // The map spans gridX x gridY blocks, one more than the grid's extent.
    const float kx = float(width) / (float(terrain.gridX) * terrain.blockWidth);
    const float ky = float(height) / (float(terrain.gridY) * terrain.blockWidth);
    const double px = truncWithin(double(editor.pickPoint[0]) * kx, -1, width);
    const double py = truncWithin(double(editor.pickPoint[1]) * ky, -1, height);
    const double rx = double(kx) * editor.brushWidth;
    const double ry = double(ky) * editor.brushWidth;
    growDirtyBounds(px, py, rx, ry, width, height);

    const BrushSpan cols = brushSpan(px, rx, width);
    const BrushSpan rows = brushSpan(py, ry, height);
    if (cols.empty() || rows.empty()) return;

    copyBeforeWrite(cols.first, rows.first, cols.last, rows.last);
    const double spanX = std::trunc(double(kx) * 2.0 * editor.brushWidth);
    const double spanY = std::trunc(2.0 * double(editor.brushWidth) * ky);
    int stampWidth = 1, stampHeight = 1;
    const float* mask = currentStampMask(&stampWidth, &stampHeight);
    for (int ty = rows.first; ty <= rows.last; ++ty) {
        const int sy = stampIndex(double(ty) - (py - ry), stampHeight, spanY);
        const double dy = (double(ty) - py) / double(ky);
        for (int tx = cols.first; tx <= cols.last; ++tx) {
            double falloff = 1.0;
            if (editor.smoothBrush) {
                // Distance in world units across the map plane; heights play no part.
                const double dx = (double(tx) - px) / double(kx);
                falloff = 1.0 - std::sqrt(dy * dy + dx * dx) / double(editor.brushWidth);
                if (!(falloff > 0.0)) falloff = 0.0;
            }
            const int sx = stampIndex(double(tx) - (px - rx), stampWidth, spanX);
            const double w = double(mask[size_t(sy) * size_t(stampWidth) + size_t(sx)]) * falloff;
            applyToTexel(terrain, tx, ty, w);
        }
    }

    reportMapRegion(cols.first, rows.first, cols.last, rows.last);
}
