// Height-map import from TGA (through the TGA reader), PGM (binary and
// plain), PNG (through libpng) and raw 16-bit files. Heights are built into
// a temporary vertex array; the terrain is replaced only once the image was
// fully read.
//
// Index: grid | TGA | PGM | PNG | raw | by name
#include "io/heightmap_import.h"

#include "app/editor_state.h"
#include "io/file_read.h"
#include "io/png_codec.h"
#include "io/tga.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

// ------------------------------------------------------------------- grid

static constexpr int kImportDistributionSide = 1024;

static bool sizeAllowed(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxGridSide && height <= kMaxGridSide;
}

// The new grid while it is filled: image row i becomes grid row i and the
// image is mirrored along x, so image column k lands in grid column W - 1 - k.
struct ImportGrid {
    int width = 0, height = 0;
    float heightScale = 0.0f;
    std::vector<TerrainVertex> vertices;
};

static ImportGrid beginImportGrid(int width, int height)
{
    ImportGrid grid;
    grid.width = width;
    grid.height = height;
    grid.heightScale = editor.terrain.heightScale;
    grid.vertices = layOutFlatGrid(width, height, editor.terrain.blockWidth, 0.0f);
    return grid;
}

// `fraction` is the sample over its full scale (value / 255 or / 65535).
static void setSample(ImportGrid& grid, int row, int column, float fraction)
{
    grid.vertices[size_t(row) * grid.width + (grid.width - 1 - column)].position[2] = fraction * grid.heightScale;
}

// Installs the imported grid and brings every derived piece up to date: an
// even texture mix, normals and lighting, coordinates, indices, buffers, a
// camera looking at the new terrain, and an empty history. The new map is
// made first and installGrid makes everything derived before it changes the
// terrain, so an image too large for the memory left changes nothing.
static void installImportedGrid(ImportGrid& grid)
{
    std::vector<float> map(size_t(kImportDistributionSide) * kImportDistributionSide * 3, 1.0f / 3.0f);
    {
        ProgressSpan span(0.3f, 1.0f);
        installGrid(grid.width, grid.height, grid.vertices);
    }
    Terrain& terrain = editor.terrain;
    terrain.distributionWidth = kImportDistributionSide;
    terrain.distributionHeight = kImportDistributionSide;
    terrain.distribution.swap(map);
    reportMapReplaced();
    reportGridReplaced();
    editor.camera.position[0] = 0.0f;
    editor.camera.position[1] = 0.0f;
    editor.camera.position[2] = terrain.heightScale + 25.0f;
    editor.camera.angles[kPitch] = 45.0f;
    editor.camera.angles[kYaw] = 45.0f;
    editor.hoverIndex = 0;
    clearHistory();
}

static bool refuse(const std::string& message)
{
    postStatus(message);
    return false;
}

// -------------------------------------------------------------------- TGA

bool importTgaHeightmap(const std::string& path)
{
    TgaOptions options;
    options.maxSide = kMaxGridSide;
    options.greyAndImageId = true; // as image tools write height maps
    Image image = readTga(path, options);
    if (image.pixels.empty())
        return refuse(image.failure);
    const int w = image.width, h = image.height, b = image.bitsPerPixel / 8;
    ImportGrid grid = beginImportGrid(w, h);
    // The first byte of a pixel: the grey level, or red.
    const uint8_t* pixel = image.pixels.data();
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col, pixel += b)
            setSample(grid, row, col, pixel[0] / 255.0f);
    installImportedGrid(grid);
    return true;
}

// -------------------------------------------------------------------- PGM

// Room for a PGM header with its comments, beyond the largest sample data.
static constexpr uint64_t kPgmHeaderAllowance = 1 << 20;
// The largest PGM file worth reading: plain-text samples of up to five
// digits with a separator, generously rounded, on the largest grid.
static constexpr uint64_t kPgmFileLimit = uint64_t(kMaxGridSide) * kMaxGridSide * 8 + kPgmHeaderAllowance;

// Cursor over the file's bytes, Netpbm rules: fields are separated by
// whitespace, and a '#' starts a comment that runs to the end of the line.
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

static bool reportBadSize(const std::string& name)
{
    std::fputs("Bad width/height read.\n", stdout);
    std::fflush(stdout);
    return refuse("Bad image size: " + name);
}

// The samples of a binary (P5) file: one byte each, or two big-endian bytes
// when the maximum is above 255.
static bool readBinarySamples(PgmCursor& cursor, long maxval, ImportGrid& grid, float range, const std::string& name)
{
    ++cursor.at; // the single whitespace byte that ends the header
    const int bytesPerSample = maxval > 255 ? 2 : 1;
    const uint64_t dataBytes = uint64_t(grid.width) * uint64_t(grid.height) * bytesPerSample;
    if (cursor.size - cursor.at < dataBytes)
        return refuse("PGM image data is short: " + name);
    const uint8_t* sample = cursor.data + cursor.at;
    for (int row = 0; row < grid.height; ++row) {
        for (int k = 0; k < grid.width; ++k, sample += bytesPerSample) {
            const unsigned value = bytesPerSample == 2 ? (unsigned(sample[0]) << 8) | sample[1] : sample[0];
            setSample(grid, row, k, value / range);
        }
    }
    return true;
}

// The samples of a plain (P2) file: decimal numbers up to the maximum.
static bool readTextSamples(PgmCursor& cursor, long maxval, ImportGrid& grid, float range, const std::string& name)
{
    for (int row = 0; row < grid.height; ++row) {
        for (int k = 0; k < grid.width; ++k) {
            long value = 0;
            if (!readPgmNumber(cursor, maxval, value))
                return refuse("PGM image data is short or out of range: " + name);
            setSample(grid, row, k, value / range);
        }
    }
    return true;
}

static bool importPgm(const uint8_t* data, size_t size, const std::string& name)
{
    PgmCursor cursor{data, size, 0};
    const bool binary = size >= 2 && data[0] == 'P' && data[1] == '5';
    const bool plain = size >= 2 && data[0] == 'P' && data[1] == '2';
    if (!binary && !plain)
        return refuse("Not a PGM image: " + name);
    cursor.at = 2;
    long width = 0, height = 0, maxval = 0;
    if (!readPgmNumber(cursor, kMaxGridSide, width) || !readPgmNumber(cursor, kMaxGridSide, height) ||
        !sizeAllowed(int(width), int(height)))
        return reportBadSize(name);
    if (!readPgmNumber(cursor, 65535, maxval) || maxval < 1 || cursor.at >= size || !isPgmSpace(data[cursor.at]))
        return refuse("Bad PGM header: " + name);
    // Samples up to 255 scale by 1/255 whatever the maximum says; wider
    // samples scale by their maximum so their extra precision survives.
    const float range = maxval > 255 ? float(maxval) : 255.0f;
    ImportGrid grid = beginImportGrid(int(width), int(height));
    const bool read = binary ? readBinarySamples(cursor, maxval, grid, range, name)
                             : readTextSamples(cursor, maxval, grid, range, name);
    if (!read)
        return false;
    installImportedGrid(grid);
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
    if (result != FileRead::kOk)
        return refuse(fileReadMessage(result, path));
    return importPgm(bytes.data(), bytes.size(), path);
}

// -------------------------------------------------------------------- PNG

static bool importPng(ByteSource& source, const std::string& name)
{
    ChannelSamples samples;
    std::string failure;
    bool tooLarge = false;
    if (!decodePngChannel(source, kMaxGridSide, samples, failure, tooLarge))
        return refuse(tooLarge ? imageTooLargeMessage(kMaxGridSide, name)
                               : "Cannot read PNG image " + name + ": " + failure);
    ImportGrid grid = beginImportGrid(samples.width, samples.height);
    const float range = float(samples.maxValue);
    const uint16_t* value = samples.values.data();
    for (int row = 0; row < samples.height; ++row)
        for (int col = 0; col < samples.width; ++col)
            setSample(grid, row, col, *value++ / range);
    installImportedGrid(grid);
    return true;
}

bool importPngFromBytes(const uint8_t* data, size_t size)
{
    ByteSource source = memorySource(data, size);
    return importPng(source, "(memory)");
}

bool importPngHeightmap(const std::string& path)
{
    InputFile input;
    const FileRead opened = openRegularFile(path, input);
    if (opened != FileRead::kOk)
        return refuse(fileReadMessage(opened, path));
    // Read as libpng asks: only as far as the picture goes.
    ByteSource source = fileSource(input);
    const bool imported = importPng(source, path);
    closeInputFile(input);
    return imported;
}

// -------------------------------------------------------------------- raw

// A square of 16-bit little-endian samples, rows in file order.
static bool importRaw(const uint8_t* data, size_t size, const std::string& name)
{
    const uint64_t samples = size / 2;
    const int side = int(std::llround(std::sqrt(double(samples))));
    if (size == 0 || size % 2 != 0 || uint64_t(side) * uint64_t(side) != samples)
        return refuse("Raw height map is not a square of 16-bit samples: " + name);
    if (side > kMaxGridSide)
        return refuse(imageTooLargeMessage(kMaxGridSide, name));
    ImportGrid grid = beginImportGrid(side, side);
    const uint8_t* sample = data;
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col, sample += 2)
            setSample(grid, row, col, unsigned(sample[0] | sample[1] << 8) / 65535.0f);
    installImportedGrid(grid);
    return true;
}

bool importRawHeightmap(const std::string& path)
{
    // Any size above the largest square is refused before it is read.
    static constexpr uint64_t kRawFileLimit = uint64_t(kMaxGridSide) * kMaxGridSide * 2;
    std::vector<uint8_t> bytes;
    const FileRead result = readFileBytes(path, kRawFileLimit, bytes);
    if (result == FileRead::kTooLarge)
        return refuse(imageTooLargeMessage(kMaxGridSide, path));
    if (result != FileRead::kOk)
        return refuse(fileReadMessage(result, path));
    return importRaw(bytes.data(), bytes.size(), path);
}

// ---------------------------------------------------------------- by name

struct HeightmapKind {
    const char* extension;
    bool (*import)(const std::string& path);
};

static const HeightmapKind kHeightmapKinds[] = {
    {".tga", importTgaHeightmap}, {".pgm", importPgmHeightmap}, {".png", importPngHeightmap},
    {".r16", importRawHeightmap}, {".raw", importRawHeightmap},
};

static std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool importHeightmapFile(const std::string& path)
{
    if (path.empty())
        return false;
    // The name's own extension decides, in any case; failing that, the first
    // known extension anywhere in the name (so "hills.tga.old" still reads).
    const std::string name = lowerCase(path);
    for (const HeightmapKind& kind : kHeightmapKinds)
        if (name.ends_with(kind.extension))
            return kind.import(path);
    for (const HeightmapKind& kind : kHeightmapKinds)
        if (name.find(kind.extension) != std::string::npos)
            return kind.import(path);
    return refuse("Height maps are .tga, .pgm, .png, .r16 or .raw files: " + path);
}
