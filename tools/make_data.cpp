// make_data: generates Brivel's art assets (UI button, tool icons, ground
// textures, brush stamps, sky panorama and sky box) as TGA files.
//
// Build and run from the repository root:
//   g++ -std=c++20 -O2 -o /tmp/make_data tools/make_data.cpp && /tmp/make_data data
// (scripts/make_data.sh does exactly this.)
//
// Everything is driven by fixed seeds, so re-running reproduces the files byte
// for byte. Ground textures and the sky's horizontal wrap are built on periodic
// noise lattices so they tile without seams.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Small maths helpers
// ---------------------------------------------------------------------------

struct Vec2 {
    double x = 0, y = 0;
};
Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
Vec2 operator*(Vec2 a, double s) { return {a.x * s, a.y * s}; }
double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
double length(Vec2 a) { return std::sqrt(dot(a, a)); }

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double lerp(double a, double b, double t) { return a + (b - a) * t; }
Rgb mix(Rgb a, Rgb b, double t) { return a * (1.0 - t) + b * t; }
double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// Wraps an integer into [0, period) for negative inputs too.
int wrap(int v, int period) {
    int m = v % period;
    return m < 0 ? m + period : m;
}

// ---------------------------------------------------------------------------
// Deterministic randomness
// ---------------------------------------------------------------------------

// PCG32 (XSH RR): small, fast and well distributed; seeded explicitly so the
// generated art never depends on the clock.
class Pcg32 {
public:
    explicit Pcg32(uint64_t seed, uint64_t stream = 0x9e3779b97f4a7c15ULL)
        : inc_((stream << 1u) | 1u) {
        next();
        state_ += seed;
        next();
    }
    uint32_t next() {
        uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + inc_;
        auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        auto rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }
    // Uniform in [0, 1).
    double uniform() { return next() * (1.0 / 4294967296.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    uint64_t state_ = 0;
    uint64_t inc_;
};

// Stateless integer hash for lattice values: the noise must give the same
// value for the same lattice point no matter in which order pixels are visited.
uint32_t hash3(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2dU;
    h ^= x * 0x85ebca6bU;
    h = (h << 13) | (h >> 19);
    h ^= y * 0xc2b2ae35U;
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}
double hash01(int x, int y, uint32_t seed) {
    return hash3(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) * (1.0 / 4294967296.0);
}

// ---------------------------------------------------------------------------
// Tiling noise
// ---------------------------------------------------------------------------

// Value noise on a lattice that repeats every (periodX, periodY) cells.
// Coordinates are in lattice units; because lattice indices wrap, the field
// is exactly periodic and textures built from it have no seams.
double valueNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    // Quintic fade keeps the derivative continuous across cells, which avoids
    // the grid-aligned creases plain smoothstep leaves in lit height fields.
    auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    double ux = fade(tx), uy = fade(ty);
    int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    double a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
    double c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
    return lerp(lerp(a, b, ux), lerp(c, d, ux), uy);
}

// Fractal sum of tiling value noise. (u, v) are in "tiles" (1.0 = one full
// period of the base octave); each octave doubles the lattice period so it
// still repeats on the same tile. Result is roughly in [0, 1].
double fbm(double u, double v, int periodX, int periodY, int octaves, uint32_t seed,
           double gain = 0.5) {
    double sum = 0, amp = 1, norm = 0;
    int px = periodX, py = periodY;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(u * px, v * py, px, py, seed + 1013u * static_cast<uint32_t>(o));
        norm += amp;
        amp *= gain;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}

// ---------------------------------------------------------------------------
// Images and the TGA writer
// ---------------------------------------------------------------------------

// Float RGBA image; alpha is straight (not premultiplied). Row 0 is the top.
struct Image {
    int w = 0, h = 0;
    std::vector<std::array<double, 4>> px;
    Image(int width, int height, std::array<double, 4> fill = {0, 0, 0, 1})
        : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}
    std::array<double, 4>& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const std::array<double, 4>& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    void set(int x, int y, Rgb c, double a = 1.0) { at(x, y) = {c.r, c.g, c.b, a}; }
};

uint8_t toByte(double v, double dither) {
    double q = std::floor(clamp01(v) * 255.0 + dither);
    return static_cast<uint8_t>(std::clamp(q, 0.0, 255.0));
}

// Writes an uncompressed true-colour TGA (type 2) with a top-left origin.
// The file is written under a temporary name and renamed into place so a
// failed or interrupted run never leaves a truncated asset behind.
// `dither` adds a tiny deterministic offset before quantising, which hides
// banding in long smooth gradients such as the sky.
bool writeTga(const std::filesystem::path& path, const Image& img, bool withAlpha, bool dither) {
    if (img.w <= 0 || img.h <= 0 || img.w > 65535 || img.h > 65535) {
        std::fprintf(stderr, "make_data: bad image size for %s\n", path.string().c_str());
        return false;
    }
    const int bpp = withAlpha ? 4 : 3;
    std::vector<uint8_t> bytes(18 + static_cast<size_t>(img.w) * img.h * bpp, 0);
    bytes[2] = 2;  // uncompressed true-colour
    bytes[12] = static_cast<uint8_t>(img.w & 0xff);
    bytes[13] = static_cast<uint8_t>(img.w >> 8);
    bytes[14] = static_cast<uint8_t>(img.h & 0xff);
    bytes[15] = static_cast<uint8_t>(img.h >> 8);
    bytes[16] = static_cast<uint8_t>(bpp * 8);
    bytes[17] = withAlpha ? 0x28 : 0x20;  // top-left origin (+ 8 alpha bits)
    size_t o = 18;
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            const auto& p = img.at(x, y);
            double d = dither ? hash01(x, y, 0xd17e5u) : 0.5;
            bytes[o++] = toByte(p[2], d);
            bytes[o++] = toByte(p[1], d);
            bytes[o++] = toByte(p[0], d);
            if (withAlpha) bytes[o++] = toByte(p[3], 0.5);
        }
    }

    std::filesystem::path tmp = path;
    tmp += ".tmp";
    std::FILE* f = std::fopen(tmp.string().c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "make_data: cannot open %s: %s\n", tmp.string().c_str(),
                     std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_data: write failed for %s\n", tmp.string().c_str());
        std::remove(tmp.string().c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::fprintf(stderr, "make_data: cannot rename %s: %s\n", tmp.string().c_str(),
                     ec.message().c_str());
        std::remove(tmp.string().c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// 2D shape helpers (signed distances in pixels, negative inside)
// ---------------------------------------------------------------------------

double sdCircle(Vec2 p, Vec2 c, double r) { return length(p - c) - r; }

double sdSegment(Vec2 p, Vec2 a, Vec2 b, double radius) {
    Vec2 pa = p - a, ba = b - a;
    double h = clamp01(dot(pa, ba) / dot(ba, ba));
    return length(pa - ba * h) - radius;
}

// Axis-aligned box centred at c with half extents `half` and corner radius r.
double sdRoundBox(Vec2 p, Vec2 c, Vec2 half, double r) {
    Vec2 q{std::fabs(p.x - c.x) - half.x + r, std::fabs(p.y - c.y) - half.y + r};
    Vec2 qpos{std::max(q.x, 0.0), std::max(q.y, 0.0)};
    return length(qpos) + std::min(std::max(q.x, q.y), 0.0) - r;
}

// Exact signed distance to a simple closed polygon.
double sdPolygon(Vec2 p, const std::vector<Vec2>& v) {
    double d = dot(p - v[0], p - v[0]);
    double s = 1.0;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        Vec2 e = v[j] - v[i], w = p - v[i];
        Vec2 b = w - e * clamp01(dot(w, e) / dot(e, e));
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

// Distance to an open polyline drawn with the given half width.
double sdPolyline(Vec2 p, const std::vector<Vec2>& pts, double radius) {
    double d = 1e9;
    for (size_t i = 1; i < pts.size(); ++i) d = std::min(d, sdSegment(p, pts[i - 1], pts[i], radius));
    return d;
}

// Antialiased coverage of a pixel from a signed distance in pixels.
double coverage(double sd) { return clamp01(0.5 - sd); }

// Composites a flat colour over the image where `sd` is inside the shape.
void paintShape(Image& img, const std::function<double(Vec2)>& sd, Rgb colour, double alpha = 1.0) {
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            double a = coverage(sd({x + 0.5, y + 0.5})) * alpha;
            if (a <= 0) continue;
            auto& p = img.at(x, y);
            double outA = a + p[3] * (1.0 - a);
            if (outA <= 0) continue;
            for (int k = 0; k < 3; ++k) {
                double src = k == 0 ? colour.r : k == 1 ? colour.g : colour.b;
                p[k] = (src * a + p[k] * p[3] * (1.0 - a)) / outA;
            }
            p[3] = outA;
        }
    }
}

// Shorthand for an arrow: a round-capped shaft and a triangular head.
void paintArrow(Image& img, Vec2 from, Vec2 tip, double shaftRadius, double headLen, double headHalf,
                Rgb colour) {
    Vec2 dir = (tip - from) * (1.0 / length(tip - from));
    Vec2 nrm{-dir.y, dir.x};
    Vec2 base = tip - dir * headLen;
    std::vector<Vec2> head{tip, base + nrm * headHalf, base - nrm * headHalf};
    paintShape(img, [&](Vec2 p) { return sdSegment(p, from, base + dir * 1.0, shaftRadius); }, colour);
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, head); }, colour);
}

// ---------------------------------------------------------------------------
// UI button
// ---------------------------------------------------------------------------

// Neutral light grey so glColor tints it to any hue. The bevel is kept narrow
// because the same image is stretched over the large help panel, where a wide
// bevel would turn into a heavy frame.
Image makeButton() {
    const int n = 64;
    const Vec2 centre{32, 32}, half{31.5, 31.5};
    const double radius = 10.0, bevel = 4.0;
    Image img(n, n, {0, 0, 0, 0});
    auto sd = [&](Vec2 p) { return sdRoundBox(p, centre, half, radius); };
    const Vec2 light{-std::sqrt(0.5), -std::sqrt(0.5)};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            Vec2 p{x + 0.5, y + 0.5};
            double d = sd(p);
            double a = coverage(d);
            if (a <= 0) continue;
            // Outward normal from the distance field's gradient.
            const double e = 0.5;
            Vec2 g{sd({p.x + e, p.y}) - sd({p.x - e, p.y}), sd({p.x, p.y + e}) - sd({p.x, p.y - e})};
            double gl = length(g);
            Vec2 nrm = gl > 1e-9 ? g * (1.0 / gl) : Vec2{0, 0};
            double depth = -d;  // distance inside the edge
            double rim = 1.0 - smoothstep(0.0, bevel, depth);
            double lit = dot(nrm, light);  // +1 on the top-left edge
            // Very slight vertical gradient so the face does not look flat.
            double face = 0.80 + 0.03 * (1.0 - p.y / n);
            double v = face + 0.16 * lit * rim;
            // Thin dark outline keeps the shape readable on light backgrounds.
            v -= 0.22 * (1.0 - smoothstep(0.0, 1.2, depth));
            img.set(x, y, Rgb{v, v, v}, a);
        }
    }
    return img;
}

// ---------------------------------------------------------------------------
// Tool icons
// ---------------------------------------------------------------------------

const Rgb kInk{1.0, 1.0, 1.0};         // main symbol colour
const Rgb kInkDim{0.62, 0.62, 0.62};   // secondary strokes
const Rgb kInkFaint{0.38, 0.38, 0.38}; // hints (removed material, trails)

// Dark rounded tile with a faint rim; the symbol is drawn on top in white so
// the glColor tint decides the final hue.
Image iconBase() {
    Image img(64, 64, {0, 0, 0, 0});
    paintShape(img, [](Vec2 p) { return sdRoundBox(p, {32, 32}, {31, 31}, 9); }, {0.30, 0.30, 0.30});
    paintShape(img, [](Vec2 p) { return sdRoundBox(p, {32, 32}, {29.5, 29.5}, 7.5); },
               {0.11, 0.11, 0.11});
    return img;
}

// Samples y = f(x) into points for shapes bounded by a curve.
std::vector<Vec2> sampleCurve(double x0, double x1, int steps, const std::function<double(double)>& f) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i) {
        double x = lerp(x0, x1, static_cast<double>(i) / steps);
        pts.push_back({x, f(x)});
    }
    return pts;
}

Image makeCarveIcon() {
    Image img = iconBase();
    // Ground with a dent pressed into it.
    auto ground = [](double x) {
        double t = (x - 32.0) / 15.0;
        return std::fabs(t) < 1.0 ? 36.0 + 16.0 * (0.5 + 0.5 * std::cos(t * kPi)) : 36.0;
    };
    std::vector<Vec2> poly = sampleCurve(7, 57, 60, ground);
    poly.push_back({57, 57});
    poly.push_back({7, 57});
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, poly); }, kInkDim);
    std::vector<Vec2> surface = sampleCurve(7, 57, 60, ground);
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, surface, 1.6); }, kInk);
    paintArrow(img, {32, 7}, {32, 33}, 3.0, 11.0, 9.0, kInk);
    return img;
}

Image makeRaiseIcon() {
    Image img = iconBase();
    auto hill = [](double x) {
        double t = (x - 32.0) / 23.0;
        return std::fabs(t) < 1.0 ? 54.0 - 19.0 * (0.5 + 0.5 * std::cos(t * kPi)) : 54.0;
    };
    std::vector<Vec2> poly = sampleCurve(7, 57, 60, hill);
    poly.push_back({57, 57});
    poly.push_back({7, 57});
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, poly); }, kInkDim);
    std::vector<Vec2> surface = sampleCurve(7, 57, 60, hill);
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, surface, 1.6); }, kInk);
    paintArrow(img, {32, 30}, {32, 6}, 3.0, 11.0, 9.0, kInk);
    return img;
}

Image makeSmoothIcon() {
    Image img = iconBase();
    // Rough profile in the back, the smoothed curve over it.
    std::vector<Vec2> rough{{8, 36}, {13, 27}, {17, 33}, {21, 22}, {26, 30}, {31, 24},
                            {35, 38}, {40, 32}, {44, 44}, {49, 36}, {53, 42}, {56, 37}};
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, rough, 1.3); }, kInkFaint);
    auto wave = [](double x) { return 33.0 - 9.0 * std::sin((x - 8.0) / 48.0 * 2.0 * kPi); };
    std::vector<Vec2> curve = sampleCurve(8, 56, 64, wave);
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, curve, 3.0); }, kInk);
    return img;
}

Image makeNoiseIcon() {
    Image img = iconBase();
    std::vector<Vec2> zig{{7, 36},  {12, 25}, {16, 41}, {21, 17}, {26, 45}, {31, 23},
                          {35, 39}, {40, 13}, {45, 44}, {49, 27}, {53, 38}, {57, 30}};
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, zig, 2.3); }, kInk);
    return img;
}

Image makeFlattenIcon() {
    Image img = iconBase();
    // The peak that gets cut away, shown faintly above the plateau.
    std::vector<Vec2> peak{{17, 35}, {32, 12}, {47, 35}};
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, peak, 1.4); }, kInkFaint);
    std::vector<Vec2> mesa{{7, 57}, {17, 35}, {47, 35}, {57, 57}};
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, mesa); }, kInkDim);
    // The flattening plane.
    paintShape(img, [](Vec2 p) { return sdRoundBox(p, {32, 34}, {26, 3}, 2.5); }, kInk);
    return img;
}

Image makePaintIcon() {
    Image img = iconBase();
    // Brush laid along the diagonal from top-right (handle) to bottom-left (tip).
    const Vec2 origin{55, 9};
    const Vec2 axis{-std::sqrt(0.5), std::sqrt(0.5)};
    const Vec2 side{axis.y, -axis.x};
    auto at = [&](double t, double s) { return origin + axis * t + side * s; };
    paintShape(img, [&](Vec2 p) { return sdSegment(p, at(0, 0), at(24, 0), 3.4); }, kInk);
    std::vector<Vec2> ferrule{at(23, -5), at(23, 5), at(32, 5.5), at(32, -5.5)};
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, ferrule); }, kInkDim);
    std::vector<Vec2> bristles{at(32, -5.5), at(32, 5.5), at(39, 5.8), at(45, 4.0),
                               at(50, 0.5),  at(49, -1.5), at(44, -4.5), at(38, -5.8)};
    paintShape(img, [&](Vec2 p) { return sdPolygon(p, bristles); }, kInk);
    // A stroke of paint left by the tip.
    auto stroke = [](double x) { return 54.0 + 2.5 * std::sin((x - 8.0) / 22.0 * 2.0 * kPi); };
    std::vector<Vec2> trail = sampleCurve(9, 27, 24, stroke);
    paintShape(img, [&](Vec2 p) { return sdPolyline(p, trail, 2.4); }, kInk);
    return img;
}

Image makeEraseIcon() {
    Image img = iconBase();
    // What is left of a painted line: solid on the right, rubbed out on the left.
    paintShape(img, [](Vec2 p) { return sdSegment(p, {36, 53}, {56, 53}, 1.8); }, kInk);
    for (int i = 0; i < 4; ++i) {
        double x = 9.0 + i * 6.5;
        paintShape(img, [x](Vec2 p) { return sdSegment(p, {x, 53}, {x + 2.5, 53}, 1.3); }, kInkFaint);
    }
    // Eraser block tilted so its working end rests on the line.
    const double ang = -40.0 * kPi / 180.0;
    const Vec2 c{33, 30};
    const Vec2 ax{std::cos(ang), std::sin(ang)}, ay{-std::sin(ang), std::cos(ang)};
    auto local = [&](Vec2 p) { Vec2 d = p - c; return Vec2{dot(d, ax), dot(d, ay)}; };
    const double halfLen = 20.0, halfH = 9.0;
    auto body = [&](Vec2 p) { return sdRoundBox(local(p), {0, 0}, {halfLen, halfH}, 3.0); };
    // Sleeve (outline) on the far half, bare rubber (solid) on the near half.
    paintShape(img, [&](Vec2 p) { return std::fabs(body(p) + 1.4) - 1.4; }, kInk);
    paintShape(img, [&](Vec2 p) {
        return std::max(body(p), local(p).x - (-2.0));
    }, kInk);
    paintShape(img, [&](Vec2 p) {
        Vec2 q = local(p);
        return std::max(sdRoundBox(q, {0, 0}, {halfLen - 2.8, halfH - 2.8}, 1.0), -(q.x + 2.0));
    }, kInkFaint, 0.6);
    return img;
}

// ---------------------------------------------------------------------------
// Ground textures (256x256, tiling)
// ---------------------------------------------------------------------------

constexpr int kTex = 256;

// Lambert-style shade of a periodic height field, using wrapped neighbours so
// the lighting is as seamless as the heights.
std::vector<double> shadeHeights(const std::vector<double>& h, int n, double strength, Vec2 lightDir) {
    std::vector<double> out(h.size());
    double ll = length(lightDir);
    lightDir = lightDir * (1.0 / ll);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double dx = h[y * n + wrap(x + 1, n)] - h[y * n + wrap(x - 1, n)];
            double dy = h[wrap(y + 1, n) * n + x] - h[wrap(y - 1, n) * n + x];
            // Normal (-dx*s, -dy*s, 2) against a light 45 degrees up.
            double nx = -dx * strength, ny = -dy * strength, nz = 2.0;
            double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            double lx = lightDir.x * std::sqrt(0.5), ly = lightDir.y * std::sqrt(0.5), lz = std::sqrt(0.5);
            out[y * n + x] = (nx * lx + ny * ly + nz * lz) / nl;
        }
    }
    return out;
}

Image makeSand() {
    const int n = kTex;
    std::vector<double> height(n * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
            // Wind ripples: integer wave counts across the tile keep them periodic,
            // a noise warp stops them looking ruled.
            double warp = fbm(u, v, 2, 2, 3, 11u);
            double phase = 2.0 * kPi * (2.0 * u + 11.0 * v) + 14.0 * warp;
            // Raising the sine to a power gives ripples the sharper crest and
            // wider trough that wind-blown sand shows.
            double ripple = std::pow(0.5 + 0.5 * std::sin(phase), 1.6);
            double lumps = fbm(u, v, 4, 4, 5, 12u);
            height[y * n + x] = 0.9 * ripple + 2.0 * lumps;
        }
    }
    std::vector<double> shade = shadeHeights(height, n, 1.4, {-1, -0.6});
    const Rgb light{0.88, 0.77, 0.57}, dark{0.74, 0.61, 0.42};
    Image img(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
            double tone = smoothstep(0.3, 0.7, fbm(u, v, 3, 3, 4, 13u));
            Rgb c = mix(dark, light, 0.35 + 0.5 * tone);
            c = c * (0.80 + 0.28 * shade[y * n + x]);
            // Fine grain: per-pixel jitter plus scattered darker and lighter grains.
            double g = hash01(x, y, 14u);
            c = c * (0.93 + 0.14 * hash01(x, y, 15u));
            if (g < 0.035) c = c * 0.80;
            else if (g > 0.985) c = c * 1.10 + Rgb{0.02, 0.02, 0.02};
            img.set(x, y, c);
        }
    }
    return img;
}

// Draws one antialiased, tapering grass blade with wrap-around so blades that
// cross the tile edge continue on the opposite side.
void drawBlade(Image& img, Vec2 root, Vec2 tip, double rootWidth, Rgb rootColour, Rgb tipColour) {
    const int n = img.w;
    int x0 = static_cast<int>(std::floor(std::min(root.x, tip.x) - 2));
    int x1 = static_cast<int>(std::ceil(std::max(root.x, tip.x) + 2));
    int y0 = static_cast<int>(std::floor(std::min(root.y, tip.y) - 2));
    int y1 = static_cast<int>(std::ceil(std::max(root.y, tip.y) + 2));
    Vec2 ba = tip - root;
    double len2 = dot(ba, ba);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Vec2 p{x + 0.5, y + 0.5};
            double t = clamp01(dot(p - root, ba) / len2);
            double d = length(p - (root + ba * t));
            double r = rootWidth * (1.0 - 0.8 * t);
            double a = clamp01(r - d + 0.5);
            if (a <= 0) continue;
            auto& px = img.at(wrap(x, n), wrap(y, n));
            Rgb c = mix(rootColour, tipColour, t);
            px[0] = lerp(px[0], c.r, a);
            px[1] = lerp(px[1], c.g, a);
            px[2] = lerp(px[2], c.b, a);
        }
    }
}

Image makeGrass() {
    const int n = kTex;
    Image img(n, n);
    const Rgb deep{0.13, 0.26, 0.07}, mid{0.26, 0.44, 0.12}, dry{0.44, 0.49, 0.20};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
            double patch = fbm(u, v, 4, 4, 5, 21u);
            double dryness = smoothstep(0.55, 0.75, fbm(u, v, 3, 3, 4, 22u));
            // Stretched noise gives a vertical, blade-like grain under the blades.
            double streak = fbm(u, v, 64, 8, 2, 23u);
            Rgb c = mix(deep, mid, smoothstep(0.25, 0.75, patch));
            c = mix(c, dry, 0.45 * dryness);
            c = c * (0.75 + 0.5 * streak);
            img.set(x, y, c);
        }
    }
    Pcg32 rng(0x67a55u);
    const Rgb bladeDark{0.12, 0.27, 0.06};
    const std::array<Rgb, 4> tips{Rgb{0.36, 0.58, 0.17}, Rgb{0.45, 0.64, 0.22}, Rgb{0.30, 0.50, 0.14},
                                  Rgb{0.52, 0.60, 0.25}};
    for (int i = 0; i < 5200; ++i) {
        Vec2 root{rng.range(0, n), rng.range(0, n)};
        double angle = rng.range(-0.45, 0.45);
        double len = rng.range(5.0, 13.0);
        Vec2 tip = root + Vec2{std::sin(angle), -std::cos(angle)} * len;
        Rgb tipColour = tips[rng.next() % tips.size()] * rng.range(0.8, 1.1);
        double u = root.x / n, v = root.y / n;
        double dryness = smoothstep(0.55, 0.75, fbm(u, v, 3, 3, 4, 22u));
        tipColour = mix(tipColour, Rgb{0.58, 0.58, 0.28}, 0.5 * dryness);
        drawBlade(img, root, tip, rng.range(0.7, 1.1), bladeDark, tipColour);
    }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double j = 0.94 + 0.12 * hash01(x, y, 24u);
            auto& p = img.at(x, y);
            for (int k = 0; k < 3; ++k) p[k] *= j;
        }
    return img;
}

Image makeSnow() {
    const int n = kTex;
    std::vector<double> height(n * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double u = static_cast<double>(x) / n, v = static_cast<double>(y) / n;
            height[y * n + x] = 6.0 * fbm(u, v, 3, 3, 6, 31u) + 0.6 * fbm(u, v, 32, 32, 2, 32u);
        }
    std::vector<double> shade = shadeHeights(height, n, 2.2, {-1, -0.7});
    const Rgb bright{0.97, 0.98, 1.0}, shadow{0.70, 0.77, 0.87};
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double l = smoothstep(0.35, 1.0, shade[y * n + x]);
            Rgb c = mix(shadow, bright, 0.25 + 0.75 * l);
            double grain = 0.985 + 0.03 * hash01(x, y, 33u);
            c = c * grain;
            double s = hash01(x, y, 34u);
            if (s > 0.996) c = {1.0, 1.0, 1.0};                 // sparkle
            else if (s < 0.004) c = c * Rgb{0.90, 0.94, 1.0};   // cold glint
            img.set(x, y, c);
        }
    // Let sparkles bleed into their neighbours so they read as glints rather
    // than dead pixels.
    Image out = img;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (hash01(x, y, 34u) > 0.996) {
                const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    auto& p = out.at(wrap(x + dx[k], n), wrap(y + dy[k], n));
                    for (int c = 0; c < 3; ++c) p[c] = lerp(p[c], 1.0, 0.5);
                }
            }
    return out;
}

// ---------------------------------------------------------------------------
// Brush stamps (64x64 grey; the red channel is the mask)
// ---------------------------------------------------------------------------

constexpr int kBrush = 64;

Image makeStamp(const std::function<double(Vec2)>& mask) {
    Image img(kBrush, kBrush);
    for (int y = 0; y < kBrush; ++y)
        for (int x = 0; x < kBrush; ++x) {
            double v = clamp01(mask({x + 0.5, y + 0.5}));
            img.set(x, y, {v, v, v});
        }
    return img;
}

const Vec2 kBrushCentre{32, 32};

Image makeSoftRoundBrush() {
    return makeStamp([](Vec2 p) {
        double r = length(p - kBrushCentre) / 31.0;
        return r >= 1.0 ? 0.0 : 0.5 + 0.5 * std::cos(r * kPi);
    });
}

Image makeHardRoundBrush() {
    return makeStamp([](Vec2 p) { return coverage(sdCircle(p, kBrushCentre, 28.0)); });
}

Image makeSquareBrush() {
    return makeStamp([](Vec2 p) { return coverage(sdRoundBox(p, kBrushCentre, {27, 27}, 0.0)); });
}

Image makeNoiseBrush() {
    return makeStamp([](Vec2 p) {
        double n = fbm(p.x / kBrush, p.y / kBrush, 5, 5, 4, 41u);
        double r = length(p - kBrushCentre) / 31.0;
        double m = r >= 1.0 ? 0.0 : 0.5 + 0.5 * std::cos(r * kPi);
        return m * smoothstep(0.25, 0.75, n);
    });
}

Image makeRingBrush() {
    return makeStamp([](Vec2 p) {
        double d = (length(p - kBrushCentre) - 20.0) / 6.0;
        return std::exp(-d * d * 1.8) * (1.0 - smoothstep(29.0, 31.0, length(p - kBrushCentre)));
    });
}

Image makeStreakBrush() {
    return makeStamp([](Vec2 p) {
        double d = sdSegment(p, {14, 50}, {50, 14}, 0.0) / 7.0;
        double across = std::exp(-d * d * 2.0);
        // Taper towards both ends so the stamp fades out instead of clipping.
        Vec2 axis{std::sqrt(0.5), -std::sqrt(0.5)};
        double along = std::fabs(dot(p - kBrushCentre, axis)) / 30.0;
        return across * (1.0 - smoothstep(0.6, 1.0, along));
    });
}

// ---------------------------------------------------------------------------
// Sky
// ---------------------------------------------------------------------------

const Rgb kZenith{0.10, 0.26, 0.62};
const Rgb kSkyBlue{0.30, 0.52, 0.84};
const Rgb kHaze{0.74, 0.82, 0.90};
const Rgb kGround{0.50, 0.53, 0.56};

// Sky colour for a view direction given as a unit horizontal heading and an
// elevation in radians (negative below the horizon). Clouds live on a flat
// layer above the viewer, so they crowd towards the horizon and fade into
// the haze there. Only the direction matters, which keeps every projection
// of the sky continuous where its pieces meet.
Rgb skyColour(Vec2 heading, double elevation) {
    double e = elevation / (kPi / 2.0);
    if (e <= 0.0) {
        // Below the horizon: haze thickening into a dull ground colour.
        return mix(kHaze, kGround, smoothstep(0.0, 0.3, -e));
    }
    Rgb c = e < 0.5 ? mix(kHaze, kSkyBlue, std::pow(e / 0.5, 0.6))
                    : mix(kSkyBlue, kZenith, smoothstep(0.5, 1.0, e));
    double sinE = std::sin(elevation);
    double dist = std::cos(elevation) / std::max(sinE, 0.02);  // along the cloud layer
    Vec2 q = heading * (dist * 0.35);
    // The lattice period is far larger than the visible patch, so its repetition
    // never shows; the offset keeps the zenith away from a lattice corner.
    double density = fbm(q.x / 64.0 + 0.37, q.y / 64.0 + 0.61, 256, 256, 6, 51u);
    double cover = smoothstep(0.48, 0.72, density);
    double thick = smoothstep(0.60, 0.85, density);
    Rgb cloud = mix(Rgb{0.98, 0.98, 0.98}, Rgb{0.72, 0.75, 0.80}, 0.7 * thick);
    double fade = smoothstep(0.02, 0.20, e);
    c = mix(c, cloud, cover * fade * 0.92);
    // A little haze right above the horizon, over the clouds too.
    c = mix(c, kHaze, 0.6 * (1.0 - smoothstep(0.0, 0.12, e)));
    return c;
}

Image makeSkySphere() {
    const int w = 1024, h = 512;
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        double lat = (0.5 - (y + 0.5) / h) * kPi;  // row 0 is the zenith
        for (int x = 0; x < w; ++x) {
            double lon = (x + 0.5) / w * 2.0 * kPi;
            img.set(x, y, skyColour({std::cos(lon), std::sin(lon)}, lat));
        }
    }
    return img;
}

// The sky box. The editor draws it as a cube of half-size 50 around the eye
// (world z up), one quad per face, with these texture corners; t = 0 is the
// first row in the file, so on the side faces the top row is the top edge.
// Each face pixel is coloured by the view direction through its centre, using
// the same sky as the panorama, so neighbouring faces agree along every
// shared edge and the horizon sits at eye level, halfway down the sides.
struct Vec3 {
    double x, y, z;
};

struct BoxCorner {
    double s, t;
    Vec3 p;
};

enum BoxFace { kBoxUp, kBoxDn, kBoxLf, kBoxRt, kBoxFt, kBoxBk };

// Must stay identical to the corner table the editor draws the box with.
constexpr BoxCorner kBoxCorners[6][4] = {
    {{1, 0, {-50, -50, 50}}, {1, 1, {50, -50, 50}}, {0, 1, {50, 50, 50}}, {0, 0, {-50, 50, 50}}},
    {{1, 1, {-50, -50, -50}}, {1, 0, {50, -50, -50}}, {0, 0, {50, 50, -50}}, {0, 1, {-50, 50, -50}}},
    {{0, 1, {-50, -50, -50}}, {1, 1, {-50, 50, -50}}, {1, 0, {-50, 50, 50}}, {0, 0, {-50, -50, 50}}},
    {{0, 1, {50, 50, -50}}, {1, 1, {50, -50, -50}}, {1, 0, {50, -50, 50}}, {0, 0, {50, 50, 50}}},
    {{1, 1, {-50, -50, -50}}, {0, 1, {50, -50, -50}}, {0, 0, {50, -50, 50}}, {1, 0, {-50, -50, 50}}},
    {{0, 1, {-50, 50, -50}}, {1, 1, {50, 50, -50}}, {1, 0, {50, 50, 50}}, {0, 0, {-50, 50, 50}}},
};

// boxPoint relies on each face naming every (s, t) corner exactly once.
constexpr bool boxCornersComplete() {
    for (const auto& face : kBoxCorners) {
        int seen = 0;
        for (const BoxCorner& k : face) seen |= 1 << (static_cast<int>(k.s) + 2 * static_cast<int>(k.t));
        if (seen != 0xf) return false;
    }
    return true;
}
static_assert(boxCornersComplete(), "sky box corner table must list each (s, t) corner once");

// The box point at texture coordinates (s, t) of a face: bilinear between the
// corners, which is exact because every face is a flat square.
Vec3 boxPoint(BoxFace face, double s, double t) {
    Vec3 c[2][2]{};  // indexed [t][s]
    for (const BoxCorner& k : kBoxCorners[face]) c[static_cast<int>(k.t)][static_cast<int>(k.s)] = k.p;
    auto mix3 = [](Vec3 a, Vec3 b, double u) {
        return Vec3{lerp(a.x, b.x, u), lerp(a.y, b.y, u), lerp(a.z, b.z, u)};
    };
    return mix3(mix3(c[0][0], c[0][1], s), mix3(c[1][0], c[1][1], s), t);
}

// Sky colour seen along a world direction (z up; need not be unit length).
Rgb skyAlong(Vec3 d) {
    double flat = std::sqrt(d.x * d.x + d.y * d.y);
    // Straight up or down the heading is arbitrary; the sky does not depend on
    // it there.
    Vec2 heading = flat > 1e-12 ? Vec2{d.x / flat, d.y / flat} : Vec2{1, 0};
    return skyColour(heading, std::atan2(d.z, flat));
}

Image makeSkyFace(BoxFace face) {
    const int n = 256;
    Image img(n, n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            img.set(i, j, skyAlong(boxPoint(face, (i + 0.5) / n, (j + 0.5) / n)));
    return img;
}

// ---------------------------------------------------------------------------
// Driver
// ---------------------------------------------------------------------------

struct Output {
    std::string path;
    std::function<Image()> make;
    bool alpha;
    bool dither;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::error_code ec;
    for (const char* sub : {"", "textures", "brushes", "sky"}) {
        std::filesystem::create_directories(root / sub, ec);
        if (ec) {
            std::fprintf(stderr, "make_data: cannot create %s: %s\n", (root / sub).string().c_str(),
                         ec.message().c_str());
            return 1;
        }
    }

    const std::vector<Output> outputs{
        {"button.tga", makeButton, true, false},
        {"carve.tga", makeCarveIcon, true, false},
        {"raise.tga", makeRaiseIcon, true, false},
        {"smooth.tga", makeSmoothIcon, true, false},
        {"noise.tga", makeNoiseIcon, true, false},
        {"flatten.tga", makeFlattenIcon, true, false},
        {"paint.tga", makePaintIcon, true, false},
        {"erase.tga", makeEraseIcon, true, false},
        {"textures/sand1.tga", makeSand, false, false},
        {"textures/grass1.tga", makeGrass, false, false},
        {"textures/snow1.tga", makeSnow, false, false},
        {"brushes/1.tga", makeSoftRoundBrush, false, false},
        {"brushes/2.tga", makeHardRoundBrush, false, false},
        {"brushes/3.tga", makeSquareBrush, false, false},
        {"brushes/4.tga", makeNoiseBrush, false, false},
        {"brushes/5.tga", makeRingBrush, false, false},
        {"brushes/6.tga", makeStreakBrush, false, false},
        {"sky/default.tga", makeSkySphere, false, true},
        {"sky/box_ft.tga", [] { return makeSkyFace(kBoxFt); }, false, true},
        {"sky/box_rt.tga", [] { return makeSkyFace(kBoxRt); }, false, true},
        {"sky/box_bk.tga", [] { return makeSkyFace(kBoxBk); }, false, true},
        {"sky/box_lf.tga", [] { return makeSkyFace(kBoxLf); }, false, true},
        {"sky/box_up.tga", [] { return makeSkyFace(kBoxUp); }, false, true},
        {"sky/box_dn.tga", [] { return makeSkyFace(kBoxDn); }, false, true},
    };

    int failures = 0;
    for (const auto& out : outputs) {
        Image img = out.make();
        if (!writeTga(root / out.path, img, out.alpha, out.dither)) ++failures;
    }
    if (failures) {
        std::fprintf(stderr, "make_data: %d file(s) failed\n", failures);
        return 1;
    }
    std::printf("make_data: wrote %zu files to %s\n", outputs.size(), root.string().c_str());
    return 0;
}
