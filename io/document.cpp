// Terrain document reader and writer. The reader checks the header against
// the file's real size before it allocates anything and decodes into
// temporaries; the editor's terrain changes only once the whole file was read.
#include "io/document.h"

#include "app/editor_state.h"
#include "io/file_read.h"
#include "io/file_write.h"
#include "terrain/large_array.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "documents are little-endian and are read and written by copying memory");

static constexpr size_t kDocumentHeaderSize = 28;
static constexpr size_t kVertexRecordSize = 24; // position and normal, six float32
static constexpr size_t kVerticesPerChunk = 65536;

struct DocumentHeader {
    int32_t version;
    float blockWidth;
    float heightScale;
    int32_t gridX, gridY;
    int32_t distributionWidth, distributionHeight;
};

static bool readHeader(ByteSource& source, DocumentHeader& header)
{
    uint8_t raw[kDocumentHeaderSize];
    if (!takeBytes(source, raw, sizeof raw))
        return false;
    std::memcpy(&header.version, raw + 0, 4);
    std::memcpy(&header.blockWidth, raw + 4, 4);
    std::memcpy(&header.heightScale, raw + 8, 4);
    std::memcpy(&header.gridX, raw + 12, 4);
    std::memcpy(&header.gridY, raw + 16, 4);
    std::memcpy(&header.distributionWidth, raw + 20, 4);
    std::memcpy(&header.distributionHeight, raw + 24, 4);
    return true;
}

static bool headerSizesValid(const DocumentHeader& h)
{
    return h.gridX >= 1 && h.gridY >= 1 && h.gridX <= kMaxGridSide && h.gridY <= kMaxGridSide &&
           h.distributionWidth >= 1 && h.distributionHeight >= 1 &&
           h.distributionWidth <= kMaxDistributionSide && h.distributionHeight <= kMaxDistributionSide &&
           std::isfinite(h.blockWidth) && h.blockWidth > 0.0f && std::isfinite(h.heightScale) &&
           h.heightScale > 0.0f;
}

static uint64_t expectedDocumentSize(const DocumentHeader& h)
{
    const uint64_t vertices = uint64_t(h.gridX) * uint64_t(h.gridY);
    const uint64_t weights = uint64_t(h.distributionWidth) * uint64_t(h.distributionHeight) * 3;
    const uint64_t bytesPerWeight = h.version == kDocumentVersion ? 4 : 1;
    return kDocumentHeaderSize + vertices * kVertexRecordSize + weights * bytesPerWeight;
}

static bool readVertices(ByteSource& source, std::vector<TerrainVertex>& vertices)
{
    std::vector<float> records(std::min(vertices.size(), kVerticesPerChunk) * 6);
    for (size_t first = 0; first < vertices.size(); first += kVerticesPerChunk) {
        const size_t count = std::min(kVerticesPerChunk, vertices.size() - first);
        if (!takeBytes(source, records.data(), count * kVertexRecordSize))
            return false;
        for (size_t i = 0; i < count; ++i) {
            TerrainVertex& v = vertices[first + i];
            std::memcpy(v.position, &records[i * 6], 3 * sizeof(float));
            std::memcpy(v.normal, &records[i * 6 + 3], 3 * sizeof(float));
        }
        reportProgress(float(first + count) / float(vertices.size()));
    }
    return true;
}

static bool readDistribution(ByteSource& source, int32_t version, std::vector<float>& weights)
{
    if (version == kDocumentVersion)
        return takeBytes(source, weights.data(), weights.size() * sizeof(float));
    std::vector<uint8_t> bytes(weights.size());
    if (!takeBytes(source, bytes.data(), bytes.size()))
        return false;
    for (size_t i = 0; i < bytes.size(); ++i)
        weights[i] = bytes[i] / 255.0f;
    return true;
}

// Makes the decoded document the editor's and brings every derived piece up
// to date: lighting from the stored normals (they are not recomputed), the
// distribution texture, texture coordinates, GPU buffers, history.
// The derived data is made on the new arrays before the terrain changes, so
// a document that does not fit in memory leaves the old one in place.
static void installDocument(const DocumentHeader& h, std::vector<TerrainVertex>& vertices,
                            std::vector<float>& weights)
{
    relightVertices(vertices.data(), h.gridX, h.gridY);
    computeTextureCoords(vertices, h.gridX, h.gridY, h.blockWidth);
    Terrain& terrain = editor.terrain;
    terrain.blockWidth = h.blockWidth;
    terrain.heightScale = h.heightScale;
    terrain.gridX = h.gridX;
    terrain.gridY = h.gridY;
    terrain.vertices.swap(vertices);
    terrain.distributionWidth = h.distributionWidth;
    terrain.distributionHeight = h.distributionHeight;
    terrain.distribution.swap(weights);
    reportMapReplaced();
    reportGridReplaced();
    clearHistory();
}

// Reads and installs a whole document; returns an empty string on success,
// else the reason for the user.
static std::string readDocument(ByteSource& source)
{
    DocumentHeader header;
    if (!readHeader(source, header))
        return "Not a terrain document";
    if (header.version != kDocumentVersion && header.version != kDocumentVersionByteMap)
        return "Not a terrain document";
    if (!headerSizesValid(header))
        return "Damaged terrain document";
    // The header must describe the file exactly: a shorter file is truncated,
    // a longer one is not what the header says it is (for example a float map
    // labelled as a byte map).
    if (expectedDocumentSize(header) != source.size)
        return "Damaged terrain document";
    std::vector<TerrainVertex> vertices;
    std::vector<float> weights;
    resizeLarge(vertices, size_t(header.gridX) * size_t(header.gridY));
    resizeLarge(weights, size_t(header.distributionWidth) * size_t(header.distributionHeight) * 3);
    {
        ProgressSpan span(0.0f, 0.6f);
        if (!readVertices(source, vertices) || !readDistribution(source, header.version, weights))
            return "Cannot read terrain document";
    }
    ProgressSpan span(0.6f, 1.0f);
    installDocument(header, vertices, weights);
    return std::string();
}

bool loadDocument(const std::string& path)
{
    InputFile input;
    const FileRead opened = openRegularFile(path, input);
    if (opened != FileRead::kOk) {
        postStatus(fileReadMessage(opened, path));
        return false;
    }
    // The header's sizes are checked against the file's before anything
    // else is read, so a huge file costs no more than its header.
    ByteSource source = fileSource(input);
    std::string failure = readDocument(source);
    closeInputFile(input);
    if (!failure.empty()) {
        postStatus(failure + ": " + path);
        return false;
    }
    return true;
}

bool loadDocumentFromBytes(const uint8_t* data, size_t size)
{
    ByteSource source = memorySource(data, size);
    std::string failure = readDocument(source);
    if (!failure.empty()) {
        postStatus(failure);
        return false;
    }
    return true;
}

static void appendInt(std::vector<uint8_t>& out, int32_t value)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + 4);
}

static void appendFloat(std::vector<uint8_t>& out, float value)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + 4);
}

// The vertex records go out a block at a time: a copy of the whole grid's
// records would be 400 MB at the largest size, memory a save must not need.
static void writeVertexRecords(PendingFile& pending, const std::vector<TerrainVertex>& vertices)
{
    std::vector<float> records(std::min(vertices.size(), kVerticesPerChunk) * 6);
    for (size_t first = 0; first < vertices.size(); first += kVerticesPerChunk) {
        const size_t count = std::min(kVerticesPerChunk, vertices.size() - first);
        for (size_t i = 0; i < count; ++i) {
            const TerrainVertex& v = vertices[first + i];
            std::memcpy(&records[i * 6], v.position, 3 * sizeof(float));
            std::memcpy(&records[i * 6 + 3], v.normal, 3 * sizeof(float));
        }
        appendPendingFile(pending, records.data(), count * kVertexRecordSize);
        reportProgress(float(first + count) / float(vertices.size()));
    }
}

bool saveDocument(const std::string& path)
{
    const Terrain& terrain = editor.terrain;
    const size_t vertexCount = size_t(std::max(terrain.gridX, 0)) * size_t(std::max(terrain.gridY, 0));
    const size_t weightCount =
        size_t(std::max(terrain.distributionWidth, 0)) * size_t(std::max(terrain.distributionHeight, 0)) * 3;
    if (vertexCount == 0 || terrain.vertices.size() != vertexCount || terrain.distribution.size() != weightCount) {
        postStatus("No terrain to save");
        return false;
    }
    std::vector<uint8_t> head;
    head.reserve(kDocumentHeaderSize);
    appendInt(head, kDocumentVersion);
    appendFloat(head, terrain.blockWidth);
    appendFloat(head, terrain.heightScale);
    appendInt(head, terrain.gridX);
    appendInt(head, terrain.gridY);
    appendInt(head, terrain.distributionWidth);
    appendInt(head, terrain.distributionHeight);
    PendingFile pending;
    bool ok = beginPendingFile(pending, path);
    if (ok) {
        appendPendingFile(pending, head.data(), head.size());
        {
            ProgressSpan span(0.0f, 0.8f);
            writeVertexRecords(pending, terrain.vertices);
        }
        appendPendingFile(pending, terrain.distribution.data(), weightCount * sizeof(float));
        reportProgress(1.0f);
        ok = finishPendingFile(pending);
    }
    postStatus(writeOutcomeMessage("Saved", pending, ok));
    return ok;
}
