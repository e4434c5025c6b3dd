// The light's view, fitted to the ground that receives shadows: the map's
// texels spread over what the camera sees.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <string>

#include "render/shadow.h"

namespace {

// Clip-space position of world point p under the light's view and frustum.
std::array<double, 3> lightClip(const LightView& v, const double p[3])
{
    double e[4];
    for (int row = 0; row < 4; ++row)
        e[row] = v.view[row] * p[0] + v.view[4 + row] * p[1] + v.view[8 + row] * p[2] + v.view[12 + row];
    const double n = v.nearPlane, f = v.farPlane, w = -e[2];
    const double x = (2 * n * e[0] + (v.right + v.left) * e[2]) / (v.right - v.left);
    const double y = (2 * n * e[1] + (v.top + v.bottom) * e[2]) / (v.top - v.bottom);
    const double z = (-(f + n) * e[2] - 2 * f * n) / (f - n);
    return {x / w, y / w, z / w};
}

} // namespace

TEST(LightView, HoldsEveryReceiverCornerAndFillsTheMap)
{
    const LodBounds ground = {{0, 0, 200}, {2048, 2048, 500}};
    const LodBounds field = {{30000, 10000, 0}, {46000, 26000, 512}};
    struct Case {
        float light[3];
        LodBounds receivers;
        bool fills; // both sides of the map touched in x and y
    };
    const Case cases[] = {
        {{1024, 1024, 3000}, ground, true},     // straight above the middle
        {{-400, -400, 1024}, ground, true},     // the default light over the default grid
        {{1024, -3000, -2000}, ground, true},   // below the ground: looks upwards
        {{-400, -400, 1024}, field, true},      // a far part of a big grid in view
        {{1024, 1024, 300}, ground, false},     // among the receivers: the widest view
    };
    for (const Case& c : cases) {
        const LightView v = fitLightView(c.light, c.receivers, c.receivers);
        double lo[3] = {9, 9, 9}, hi[3] = {-9, -9, -9};
        for (int i = 0; i < 8; ++i) {
            const double p[3] = {(i & 1) ? c.receivers.hi[0] : c.receivers.lo[0],
                                 (i & 2) ? c.receivers.hi[1] : c.receivers.lo[1],
                                 (i & 4) ? c.receivers.hi[2] : c.receivers.lo[2]};
            const double e2 = v.view[2] * p[0] + v.view[6] * p[1] + v.view[10] * p[2] + v.view[14];
            if (-e2 <= 0) continue; // behind the light
            const std::array<double, 3> q = lightClip(v, p);
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], q[size_t(k)]);
                hi[k] = std::max(hi[k], q[size_t(k)]);
            }
        }
        const std::string name = std::to_string(c.light[0]) + "," + std::to_string(c.light[2]);
        if (!c.fills) {
            EXPECT_NEAR(v.right / v.nearPlane, 4.0, 1e-9) << name;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(lo[k], -1.0 - 1e-6) << name << " axis " << k;
            EXPECT_LE(hi[k], 1.0 + 1e-6) << name << " axis " << k;
        }
        for (int k = 0; k < 2; ++k) {
            EXPECT_NEAR(lo[k], -1.0, 1e-6) << name << " axis " << k;
            EXPECT_NEAR(hi[k], 1.0, 1e-6) << name << " axis " << k;
        }
    }
}
