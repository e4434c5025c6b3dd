// Image exports. Each builds the whole TGA in memory (fixed 18-byte header,
// blue-green-red pixels, source row 0 as the picture's bottom row) and
// writes it through a temporary file.
#include "io/image_export.h"

#include "app/editor_state.h"
#include "io/export_common.h"
#include "io/file_write.h"
#include "io/png_codec.h"
#include "io/tga.h"

#include <algorithm>
#include <cmath>
#include <vector>

static constexpr size_t kTgaHeaderSize = 18;

static std::vector<uint8_t> makeTgaBuffer(int width, int height)
{
    std::vector<uint8_t> buffer(kTgaHeaderSize + size_t(width) * size_t(height) * 3, 0);
    buffer[2] = 2; // uncompressed true-colour
    buffer[12] = uint8_t(width & 0xFF);
    buffer[13] = uint8_t((width >> 8) & 0xFF);
    buffer[14] = uint8_t(height & 0xFF);
    buffer[15] = uint8_t((height >> 8) & 0xFF);
    buffer[16] = 24;
    return buffer;
}

// Truncation toward zero keeping the low 8 bits, as the byte conversions are
// defined; a value no integer holds (NaN, huge) becomes 0 instead of undefined.
static uint8_t truncatedByte(float value)
{
    if (!(value > -2147483648.0f && value < 2147483648.0f))
        return 0;
    return uint8_t(int64_t(value) & 0xFF);
}

// A weight as a byte: above 1 saturates; below 0 (no tool makes one) is 0.
static uint8_t weightByte(float weight)
{
    if (weight > 1.0f)
        return 255;
    if (!(weight > 0.0f))
        return 0;
    return truncatedByte(weight * 255.0f);
}

static uint8_t normalByte(float component) { return truncatedByte((component * 0.5f + 0.5f) * 255.0f); }

static bool writeImage(const std::string& path, const std::vector<uint8_t>& buffer)
{
    PendingFile pending;
    const bool ok = writeFileReplacing(pending, path, buffer.data(), buffer.size());
    return reportExport(ok, pending);
}

bool exportHeightmapTga(const std::string& path)
{
    if (!terrainExportable(false))
        return false;
    const Terrain& t = editor.terrain;
    // The range always includes 0 and starts at 9999, so a terrain entirely
    // below ground keeps its highest point below white.
    float lo = 9999.0f, hi = 0.0f;
    for (const TerrainVertex& v : t.vertices) {
        if (v.position[2] < lo)
            lo = v.position[2];
        if (v.position[2] > hi)
            hi = v.position[2];
    }
    std::vector<uint8_t> buffer = makeTgaBuffer(t.gridX, t.gridY);
    uint8_t* out = buffer.data() + kTgaHeaderSize;
    for (const TerrainVertex& v : t.vertices) {
        const uint8_t g = hi == lo ? 0 : truncatedByte((v.position[2] - lo) / (hi - lo) * 255.0f);
        out[0] = out[1] = out[2] = g;
        out += 3;
    }
    return writeImage(path, buffer);
}

bool exportDistributionTga(const std::string& path)
{
    if (!terrainExportable(true))
        return false;
    const Terrain& t = editor.terrain;
    std::vector<uint8_t> buffer = makeTgaBuffer(t.distributionWidth, t.distributionHeight);
    uint8_t* out = buffer.data() + kTgaHeaderSize;
    for (size_t i = 0; i < t.distribution.size(); i += 3, out += 3) {
        out[0] = weightByte(t.distribution[i + 2]);
        out[1] = weightByte(t.distribution[i + 1]);
        out[2] = weightByte(t.distribution[i]);
    }
    return writeImage(path, buffer);
}

bool exportNormalMapTga(const std::string& path)
{
    if (!terrainExportable(false))
        return false;
    const Terrain& t = editor.terrain;
    std::vector<uint8_t> buffer = makeTgaBuffer(t.gridX, t.gridY);
    uint8_t* out = buffer.data() + kTgaHeaderSize;
    for (const TerrainVertex& v : t.vertices) {
        out[0] = normalByte(v.normal[2]);
        out[1] = normalByte(v.normal[1]);
        out[2] = normalByte(v.normal[0]);
        out += 3;
    }
    return writeImage(path, buffer);
}

// The image of ground slot `slot`, read again from its file; no pixels when
// the slot is empty or the file cannot be read any more.
static Image groundImage(int slot)
{
    const int32_t record = editor.groundTextures[slot];
    if (record < 0 || size_t(record) >= editor.textureCache.size())
        return Image();
    return readTga(editor.textureCache[record].name);
}

bool exportFinalTextureTga(const std::string& path)
{
    if (!terrainExportable(true))
        return false;
    const Terrain& t = editor.terrain;
    Image images[3] = {groundImage(0), groundImage(1), groundImage(2)};
    std::vector<uint8_t> buffer = makeTgaBuffer(t.distributionWidth, t.distributionHeight);
    uint8_t* out = buffer.data() + kTgaHeaderSize;
    const float* weights = t.distribution.data();
    for (int y = 0; y < t.distributionHeight; ++y) {
        for (int x = 0; x < t.distributionWidth; ++x, weights += 3, out += 3) {
            // Colour of each ground texture at this texel: its own image
            // repeated at its pixel size, or white for an empty slot.
            const uint8_t* sample[3];
            static const uint8_t kWhite[3] = {255, 255, 255};
            for (int i = 0; i < 3; ++i) {
                const Image& image = images[i];
                if (image.pixels.empty()) {
                    sample[i] = kWhite;
                    continue;
                }
                const size_t column = size_t(x % image.width), row = size_t(y % image.height);
                sample[i] = &image.pixels[(row * image.width + column) * (image.bitsPerPixel / 8)];
            }
            for (int k = 0; k < 3; ++k) {
                // Accumulated in single precision in slot order.
                float blend = sample[0][k] * weights[0];
                blend += sample[1][k] * weights[1];
                blend += sample[2][k] * weights[2];
                const uint8_t byte = blend > 255.0f ? 255 : blend > 0.0f ? truncatedByte(blend) : 0;
                out[2 - k] = byte;
            }
        }
    }
    return writeImage(path, buffer);
}

// Each vertex's height over the terrain's range as 0..65535, rounded to the
// nearest step, in image order: grid rows in order, columns mirrored.
static std::vector<uint16_t> heightSamples16()
{
    const Terrain& t = editor.terrain;
    float lo = t.vertices[0].position[2], hi = lo;
    for (const TerrainVertex& v : t.vertices) {
        lo = std::min(lo, v.position[2]);
        hi = std::max(hi, v.position[2]);
    }
    std::vector<uint16_t> samples(t.vertices.size(), 0);
    const double range = double(hi) - double(lo);
    if (!(range > 0.0))
        return samples;
    for (int row = 0; row < t.gridY; ++row) {
        for (int col = 0; col < t.gridX; ++col) {
            const double z = t.vertices[size_t(row) * t.gridX + (t.gridX - 1 - col)].position[2];
            samples[size_t(row) * t.gridX + col] = uint16_t(std::lround((z - lo) / range * 65535.0));
        }
    }
    return samples;
}

bool exportHeightmapPng(const std::string& path)
{
    if (!terrainExportable(false))
        return false;
    std::vector<uint8_t> file;
    if (!encodePngGrey16(editor.terrain.gridX, editor.terrain.gridY, heightSamples16(), file)) {
        postStatus("Cannot write " + path);
        return false;
    }
    return writeImage(path, file);
}

bool exportHeightmapR16(const std::string& path)
{
    if (!terrainExportable(false))
        return false;
    // The file holds no size: readers take it as a square.
    if (editor.terrain.gridX != editor.terrain.gridY) {
        postStatus("Raw height maps are square; this terrain is " + std::to_string(editor.terrain.gridX) + " x " +
                   std::to_string(editor.terrain.gridY) + ": " + path);
        return false;
    }
    const std::vector<uint16_t> samples = heightSamples16();
    std::vector<uint8_t> file(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        file[2 * i] = uint8_t(samples[i] & 0xFF);
        file[2 * i + 1] = uint8_t(samples[i] >> 8);
    }
    return writeImage(path, file);
}
