// Height-map import from TGA (through the TGA reader) and binary PGM.
// Heights are built into a temporary vertex array; the terrain is replaced
// only once the image was fully read.
#include "io/heightmap_import.h"

#include "app/editor_state.h"
#include "io/file_read.h"
#include "io/tga.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

#include <cstdio>
#include <vector>

static constexpr int kImportDistributionSide = 1024;

// Lays out a fresh grid of width x height vertices; the heights come later.
static std::vector<TerrainVertex> makeGrid(int width, int height, float blockWidth)
{
    std::vector<TerrainVertex> vertices(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            TerrainVertex& v = vertices[size_t(row) * width + col];
            v.position[0] = col * blockWidth;
            v.position[1] = row * blockWidth;
        }
    }
    return vertices;
}

// Installs the imported grid and brings every derived piece up to date: an
// even texture mix, normals and lighting, coordinates, indices, buffers, a
// camera looking at the new terrain, and an empty history.
static void installImportedGrid(int width, int height, std::vector<TerrainVertex>& vertices)
{
    Terrain& terrain = editor.terrain;
    terrain.gridX = width;
    terrain.gridY = height;
    terrain.vertices.swap(vertices);
    terrain.distributionWidth = kImportDistributionSide;
    terrain.distributionHeight = kImportDistributionSide;
    terrain.distribution.assign(size_t(kImportDistributionSide) * kImportDistributionSide * 3, 1.0f / 3.0f);
    reportMapReplaced();
    refreshAllVertices();
    computeTextureCoords(width, height);
    buildIndices();
    reportGridReplaced();
    editor.camera.position[0] = 0.0f;
    editor.camera.position[1] = 0.0f;
    editor.camera.position[2] = terrain.heightScale + 25.0f;
    editor.camera.angles[kPitch] = 45.0f;
    editor.camera.angles[kYaw] = 45.0f;
    editor.hoverIndex = 0;
    clearHistory();
}

static bool sizeAllowed(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxGridSide && height <= kMaxGridSide;
}

bool importTgaHeightmap(const std::string& path)
{
    Image image = readTga(path);
    if (image.pixels.empty()) {
        postStatus("Cannot read image " + path);
        return false;
    }
    if (!sizeAllowed(image.width, image.height)) {
        postStatus("Image too large for a terrain: " + path);
        return false;
    }
    const int w = image.width, h = image.height, b = image.bitsPerPixel / 8;
    const float heightScale = editor.terrain.heightScale;
    std::vector<TerrainVertex> vertices = makeGrid(w, h, editor.terrain.blockWidth);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const uint8_t red = image.pixels[(size_t(row) * w + (w - 1 - col)) * b];
            vertices[size_t(row) * w + col].position[2] = red / 255.0f * heightScale;
        }
    }
    installImportedGrid(w, h, vertices);
    return true;
}

// ---------------------------------------------------------------- PGM

// Header cursor over the file's bytes, Netpbm rules: fields are separated
// by whitespace, and a '#' starts a comment that runs to the end of the line.
struct PgmCursor {
    const uint8_t* data;
    size_t size;
    size_t at;
};

static bool isPgmSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

static void skipSpaceAndComments(PgmCursor& cursor)
{
    while (cursor.at < cursor.size) {
        const uint8_t c = cursor.data[cursor.at];
        if (c == '#') {
            while (cursor.at < cursor.size && cursor.data[cursor.at] != '\n' && cursor.data[cursor.at] != '\r')
                ++cursor.at;
        } else if (isPgmSpace(c)) {
            ++cursor.at;
        } else {
            return;
        }
    }
}

// A decimal number after optional whitespace and comments; values beyond
// `limit` are refused rather than wrapped.
static bool readPgmNumber(PgmCursor& cursor, long limit, long& value)
{
    skipSpaceAndComments(cursor);
    value = 0;
    size_t digits = 0;
    while (cursor.at < cursor.size && cursor.data[cursor.at] >= '0' && cursor.data[cursor.at] <= '9') {
        value = value * 10 + (cursor.data[cursor.at] - '0');
        if (value > limit)
            return false;
        ++cursor.at;
        ++digits;
    }
    return digits > 0;
}

static void reportBadSize(const std::string& name)
{
    std::fputs("Bad width/height read.\n", stdout);
    std::fflush(stdout);
    postStatus("Bad image size: " + name);
}

static bool importPgm(const uint8_t* data, size_t size, const std::string& name)
{
    PgmCursor cursor{data, size, 0};
    if (size < 2 || data[0] != 'P' || data[1] != '5') {
        postStatus("Not a binary PGM image: " + name);
        return false;
    }
    cursor.at = 2;
    long width = 0, height = 0, maxval = 0;
    if (!readPgmNumber(cursor, kMaxGridSide, width) || !readPgmNumber(cursor, kMaxGridSide, height) ||
        !sizeAllowed(int(width), int(height))) {
        reportBadSize(name);
        return false;
    }
    if (!readPgmNumber(cursor, 65535, maxval) || maxval < 1 || cursor.at >= size ||
        !isPgmSpace(data[cursor.at])) {
        postStatus("Bad PGM header: " + name);
        return false;
    }
    ++cursor.at; // the single whitespace byte that ends the header
    const int bytesPerSample = maxval > 255 ? 2 : 1;
    const uint64_t dataBytes = uint64_t(width) * uint64_t(height) * bytesPerSample;
    if (size - cursor.at < dataBytes) {
        postStatus("PGM image data is short: " + name);
        return false;
    }
    const int w = int(width), h = int(height);
    const float heightScale = editor.terrain.heightScale;
    // Eight-bit samples scale by 1/255 whatever the maximum says; sixteen-bit
    // samples scale by their maximum so their extra precision survives.
    const float sampleRange = bytesPerSample == 2 ? float(maxval) : 255.0f;
    std::vector<TerrainVertex> vertices = makeGrid(w, h, editor.terrain.blockWidth);
    const uint8_t* sample = data + cursor.at;
    for (int row = 0; row < h; ++row) {
        for (int k = 0; k < w; ++k, sample += bytesPerSample) {
            const unsigned value = bytesPerSample == 2 ? (unsigned(sample[0]) << 8) | sample[1] : sample[0];
            vertices[size_t(row) * w + (w - 1 - k)].position[2] = value / sampleRange * heightScale;
        }
    }
    installImportedGrid(w, h, vertices);
    return true;
}

bool importPgmFromBytes(const uint8_t* data, size_t size)
{
    if (data == nullptr)
        size = 0;
    return importPgm(data, size, "(memory)");
}

bool importPgmHeightmap(const std::string& path)
{
    std::vector<uint8_t> bytes;
    switch (readFileBytes(path, bytes)) {
    case FileRead::kCannotOpen: postStatus("Cannot open " + path); return false;
    case FileRead::kReadError: postStatus("Cannot read " + path); return false;
    case FileRead::kOk: break;
    }
    return importPgm(bytes.data(), bytes.size(), path);
}
