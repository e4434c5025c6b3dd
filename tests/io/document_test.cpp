#include "io/document.h"

#include "app/editor_state.h"
#include "io_test_files.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace {

void putInt(std::vector<uint8_t>& out, int32_t v)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + 4);
}

void putFloat(std::vector<uint8_t>& out, float v)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + 4);
}

// A hand-made document: vertices at (c*bw, r*bw, 5 + c + 10 r) with normal
// (0, 0, 1); the map bytes (version 91) or floats (92) follow.
std::vector<uint8_t> makeDocument(int32_t version, int32_t gx, int32_t gy, int32_t dw, int32_t dh,
                                  float bw = 16.0f, float hs = 300.0f)
{
    std::vector<uint8_t> out;
    putInt(out, version);
    putFloat(out, bw);
    putFloat(out, hs);
    putInt(out, gx);
    putInt(out, gy);
    putInt(out, dw);
    putInt(out, dh);
    for (int r = 0; r < gy; ++r)
        for (int c = 0; c < gx; ++c)
            for (float f : {c * bw, r * bw, 5.0f + c + 10.0f * r, 0.0f, 0.0f, 1.0f})
                putFloat(out, f);
    for (int i = 0; i < dw * dh * 3; ++i) {
        if (version == 91)
            out.push_back(uint8_t(i % 2 == 0 ? 255 : 0));
        else
            putFloat(out, 0.25f);
    }
    return out;
}

struct Snapshot {
    std::vector<TerrainVertex> vertices;
    std::vector<float> distribution;
    int gridX, gridY, dw, dh;
    float blockWidth, heightScale;
    int undo;
};

Snapshot snapshot()
{
    const Terrain& t = editor.terrain;
    return {t.vertices, t.distribution, t.gridX, t.gridY, t.distributionWidth, t.distributionHeight,
            t.blockWidth, t.heightScale, undoCount()};
}

void expectUnchanged(const Snapshot& s, const char* what)
{
    const Terrain& t = editor.terrain;
    EXPECT_EQ(t.gridX, s.gridX) << what;
    EXPECT_EQ(t.gridY, s.gridY) << what;
    EXPECT_EQ(t.distributionWidth, s.dw) << what;
    EXPECT_EQ(t.distributionHeight, s.dh) << what;
    EXPECT_EQ(t.blockWidth, s.blockWidth) << what;
    EXPECT_EQ(t.heightScale, s.heightScale) << what;
    EXPECT_EQ(undoCount(), s.undo) << what;
    ASSERT_EQ(t.vertices.size(), s.vertices.size()) << what;
    EXPECT_EQ(std::memcmp(t.vertices.data(), s.vertices.data(), s.vertices.size() * sizeof(TerrainVertex)), 0)
        << what;
    EXPECT_EQ(t.distribution, s.distribution) << what;
}

class Document : public ScratchTest {};

} // namespace

TEST_F(Document, SaveThenLoadRestoresTheDocumentExactly)
{
    makeFlatTerrain(67, 65, 256.0f, 24.0f);
    editor.terrain.heightScale = 700.0f;
    for (int r = 0; r < 65; ++r)
        for (int c = 0; c < 67; ++c)
            heightAt(c, r) = float((c * 37 + r * 11) % 101) - 50.5f;
    refreshAllVertices();
    for (size_t i = 0; i < editor.terrain.distribution.size(); ++i)
        editor.terrain.distribution[i] = float(i % 7) / 7.0f;
    const Snapshot saved = snapshot();
    const std::string path = dir + "valley.bvt";
    ASSERT_TRUE(saveDocument(path));
    EXPECT_EQ(readAll(path).size(), 28u + 67u * 65u * 24u + 1024u * 1024u * 12u);
    EXPECT_EQ(editor.statusMessage, "Saved " + path);

    makeFlatTerrain(5, 5, 0.0f);
    pushWholeGridSnapshot(kUndoPositions);
    ASSERT_TRUE(loadDocument(path));
    const Terrain& t = editor.terrain;
    ASSERT_EQ(t.gridX, 67);
    ASSERT_EQ(t.gridY, 65);
    EXPECT_EQ(t.blockWidth, 24.0f);
    EXPECT_EQ(t.heightScale, 700.0f);
    EXPECT_EQ(t.distribution, saved.distribution);
    EXPECT_EQ(undoCount(), 0);
    EXPECT_EQ(redoCount(), 0);
    for (size_t i = 0; i < t.vertices.size(); ++i) {
        ASSERT_EQ(std::memcmp(t.vertices[i].position, saved.vertices[i].position, 12), 0) << i;
        ASSERT_EQ(std::memcmp(t.vertices[i].normal, saved.vertices[i].normal, 12), 0) << i;
        // Lighting and coordinates are derived again for the 67 x 65 grid.
        ASSERT_EQ(std::memcmp(t.vertices[i].color, saved.vertices[i].color, 12), 0) << i;
        ASSERT_EQ(std::memcmp(t.vertices[i].tileCoord, saved.vertices[i].tileCoord, 16), 0) << i;
    }
    EXPECT_EQ(t.indices.size(), size_t(66 * 64 * 6));
    EXPECT_EQ(t.indices[6 * 66 + 2], uint32_t(67 + 67)); // first cell of row 1: (0, 2)
}

TEST_F(Document, TheDefaultDocumentHasTheDocumentedLayout)
{
    createDefaultTerrain();
    const std::string path = dir + "default.bvt";
    ASSERT_TRUE(saveDocument(path));
    const std::vector<uint8_t> bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 12684340u);
    const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 28);
    std::vector<uint8_t> expected;
    putInt(expected, 92);
    putFloat(expected, 32.0f);
    putFloat(expected, 512.0f);
    putInt(expected, 65);
    putInt(expected, 65);
    putInt(expected, 1024);
    putInt(expected, 1024);
    EXPECT_EQ(head, expected);
    EXPECT_EQ(bytes[0], 0x5C);
    // Vertex 66 (column 1, row 1): position then normal.
    float record[6];
    std::memcpy(record, &bytes[28 + 66 * 24], 24);
    EXPECT_EQ(record[0], 32.0f);
    EXPECT_EQ(record[1], 32.0f);
    EXPECT_EQ(record[2], 256.0f);
    EXPECT_EQ(record[5], 1.0f);
    float weight;
    std::memcpy(&weight, &bytes[bytes.size() - 4], 4);
    EXPECT_EQ(weight, 0.3f);
}

TEST_F(Document, ReadsVersion91ByteMaps)
{
    makeFlatTerrain(5, 5);
    ASSERT_TRUE(loadDocumentFromBytes(makeDocument(91, 3, 4, 2, 3).data(), makeDocument(91, 3, 4, 2, 3).size()));
    const Terrain& t = editor.terrain;
    EXPECT_EQ(t.gridX, 3);
    EXPECT_EQ(t.gridY, 4);
    EXPECT_EQ(t.distributionWidth, 2);
    EXPECT_EQ(t.distributionHeight, 3);
    ASSERT_EQ(t.distribution.size(), 18u);
    EXPECT_EQ(t.distribution[0], 1.0f); // byte 255
    EXPECT_EQ(t.distribution[1], 0.0f); // byte 0
    EXPECT_EQ(t.vertices[2 + 3 * 3].position[2], 5.0f + 2 + 30);
    EXPECT_EQ(t.blockWidth, 16.0f);
    EXPECT_EQ(t.heightScale, 300.0f);
}

TEST_F(Document, RefusedDocumentsChangeNothing)
{
    makeFlatTerrain(9, 7, 40.0f);
    heightAt(3, 3) = 99.0f;
    pushWholeGridSnapshot(kUndoPositions);
    const Snapshot before = snapshot();

    auto truncated = makeDocument(92, 3, 3, 2, 2);
    truncated.pop_back();
    auto longer = makeDocument(92, 3, 3, 2, 2);
    longer.push_back(0);
    auto floatsLabelled91 = makeDocument(92, 3, 3, 2, 2);
    floatsLabelled91[0] = 91;
    auto withScale = [](float bw, float hs) { return makeDocument(92, 3, 3, 2, 2, bw, hs); };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"short header", std::vector<uint8_t>(27, 0)},
        {"version 93", makeDocument(93, 3, 3, 2, 2)},
        {"version 0", makeDocument(0, 3, 3, 2, 2)},
        {"truncated by one byte", truncated},
        {"one byte too many", longer},
        {"float map labelled 91", floatsLabelled91},
        {"zero grid width", makeDocument(92, 0, 3, 2, 2)},
        {"zero map height", makeDocument(92, 3, 3, 2, 0)},
        {"negative grid height", makeDocument(92, 3, -3, 2, 2)},
        {"negative map width", makeDocument(92, 3, 3, -2, 2)},
        {"huge grid header only", makeDocument(92, 4098, 1, 0, 0)},
        {"huge grid claim", std::vector<uint8_t>(makeDocument(92, 2, 2, 1, 1))},
        {"map side over 8192", makeDocument(91, 1, 1, 8193, 1)},
        {"zero block width", withScale(0.0f, 300.0f)},
        {"negative height scale", withScale(16.0f, -1.0f)},
        {"NaN block width", withScale(std::nanf(""), 300.0f)},
    };
    // The "huge grid claim" case: a small file whose header says 4097 x 4097.
    std::vector<uint8_t>& huge = cases[12].bytes;
    const int32_t side = 4097;
    std::memcpy(&huge[12], &side, 4);
    std::memcpy(&huge[16], &side, 4);

    for (const auto& c : cases) {
        editor.statusMessage.clear();
        EXPECT_FALSE(loadDocumentFromBytes(c.bytes.data(), c.bytes.size())) << c.name;
        EXPECT_FALSE(editor.statusMessage.empty()) << c.name;
        expectUnchanged(before, c.name);
    }
    // Through a file too, and a missing file.
    writeAll(dir + "bad.bvt", makeDocument(93, 3, 3, 2, 2));
    EXPECT_FALSE(loadDocument(dir + "bad.bvt"));
    EXPECT_EQ(editor.statusMessage, "Not a terrain document: " + dir + "bad.bvt");
    EXPECT_FALSE(loadDocument(dir + "missing.bvt"));
    EXPECT_EQ(editor.statusMessage, "Cannot open " + dir + "missing.bvt");
    EXPECT_FALSE(loadDocument(dir));
    expectUnchanged(before, "files");
}

TEST_F(Document, FailedSaveKeepsTheExistingFile)
{
    makeFlatTerrain(3, 3);
    editor.terrain.distributionWidth = editor.terrain.distributionHeight = 2;
    editor.terrain.distribution.assign(12, 0.5f);
    EXPECT_FALSE(saveDocument(dir + "no/such/dir/a.bvt"));
    EXPECT_EQ(editor.statusMessage, "Cannot write " + dir + "no/such/dir/a.bvt");
    mkdir((dir + "taken.bvt").c_str(), 0777);
    EXPECT_FALSE(saveDocument(dir + "taken.bvt"));
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"taken.bvt"}));
    EXPECT_TRUE(listDir(dir + "taken.bvt").empty());
}
