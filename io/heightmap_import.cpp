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
// Room for a PGM header with its comments, beyond the largest sample data.
static constexpr uint64_t kPgmHeaderAllowance = 1 << 20;
// The largest PGM file worth reading: 16-bit samples on the largest grid.
static constexpr uint64_t kPgmFileLimit = uint64_t(kMaxGridSide) * kMaxGridSide * 2 + kPgmHeaderAllowance;

// Installs the imported grid and brings every derived piece up to date: an
// even texture mix, normals and lighting, coordinates, indices, buffers, a
// camera looking at the new terrain, and an empty history.
static void installImportedGrid(int width, int height, std::vector<TerrainVertex>& vertices)
{
    Terrain& terrain = editor.terrain;
    terrain.distributionWidth = kImportDistributionSide;
    terrain.distributionHeight = kImportDistributionSide;
    terrain.distribution.assign(size_t(kImportDistributionSide) * kImportDistributionSide * 3, 1.0f / 3.0f);
    reportMapReplaced();
    installGrid(width, height, vertices);
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
    TgaOptions options;
    options.maxSide = kMaxGridSide;
    Image image = readTga(path, options);
    if (image.pixels.empty()) {
        postStatus(image.failure);
        return false;
    }
    const int w = image.width, h = image.height, b = image.bitsPerPixel / 8;
    const float heightScale = editor.terrain.heightScale;
    std::vector<TerrainVertex> vertices = layOutFlatGrid(w, h, editor.terrain.blockWidth, 0.0f);
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
    std::vector<TerrainVertex> vertices = layOutFlatGrid(w, h, editor.terrain.blockWidth, 0.0f);
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
    const FileRead result = readFileBytes(path, kPgmFileLimit, bytes);
    if (result != FileRead::kOk) {
        postStatus(fileReadMessage(result, path));
        return false;
    }
    return importPgm(bytes.data(), bytes.size(), path);
}
