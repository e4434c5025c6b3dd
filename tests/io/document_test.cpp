#include "io/document.h"

#include "io_test_files.h"
#include "terrain/terrain.h"

#include <bit>
#include <cmath>

static int32_t bits(float value) { return std::bit_cast<int32_t>(value); }

// A hand-made document, block width 16, height scale 300: vertex (c, r) at
// (16 c, 16 r, c + 10 r) with normal (0, 0, 1); the map holds bytes 255, 0,
// 255, ... (version 91) or floats 0.25 (92).
static Bytes document(int32_t version, int32_t gx, int32_t gy, int32_t dw, int32_t dh)
{
    std::vector<int32_t> words = {version, bits(16.0f), bits(300.0f), gx, gy, dw, dh};
    for (int r = 0; r < gy; ++r)
        for (int c = 0; c < gx; ++c)
            for (float f : {16.0f * c, 16.0f * r, c + 10.0f * r, 0.0f, 0.0f, 1.0f})
                words.push_back(bits(f));
    for (int i = 0; version == 92 && i < dw * dh * 3; ++i)
        words.push_back(bits(0.25f));
    const auto* p = reinterpret_cast<const uint8_t*>(words.data());
    Bytes out(p, p + words.size() * 4);
    for (int i = 0; version == 91 && i < dw * dh * 3; ++i)
        out.push_back(i % 2 ? 0 : 255);
    return out;
}

// `bytes` with the 32-bit field at `at` replaced.
static Bytes patch(Bytes bytes, size_t at, int32_t value)
{
    for (size_t k = 0; k < 4; ++k)
        bytes.at(at + k) = uint8_t(uint32_t(value) >> (8 * k));
    return bytes;
}

// Everything a load replaces or derives again.
static auto documentState()
{
    const Terrain& t = editor.terrain;
    const auto* v = reinterpret_cast<const uint8_t*>(t.vertices.data()); // compared bit for bit
    return std::tuple(t.gridX, t.gridY, t.blockWidth, t.heightScale, t.distributionWidth, t.distributionHeight,
                      Bytes(v, v + t.vertices.size() * sizeof(TerrainVertex)), t.distribution, undoCount());
}

using Document = ScratchTest;

TEST_F(Document, SaveThenLoadRestoresTheDocumentExactly)
{
    makeFlatTerrain(67, 65, 256.0f, 24.0f);
    editor.terrain.heightScale = 700.0f;
    for (size_t i = 0; i < editor.terrain.vertices.size(); ++i)
        editor.terrain.vertices[i].position[2] = float(i * 37 % 101) - 50.5f;
    refreshAllVertices();
    for (size_t i = 0; i < editor.terrain.distribution.size(); ++i)
        editor.terrain.distribution[i] = float(i % 7) / 7.0f;
    const auto saved = documentState();
    ASSERT_TRUE(saveDocument(dir + "valley.bvt"));
    makeFlatTerrain(5, 5, 0.0f);
    pushWholeGridSnapshot(kUndoPositions);
    ASSERT_TRUE(loadDocument(dir + "valley.bvt"));
    EXPECT_EQ(documentState(), saved); // with an empty undo history
}

TEST_F(Document, ReadsVersion91ByteMaps)
{
    const Bytes old = document(91, 3, 4, 2, 3);
    ASSERT_TRUE(loadDocumentFromBytes(old.data(), old.size()));
    const Terrain& t = editor.terrain;
    EXPECT_EQ(std::tuple(t.gridX, t.gridY, t.distributionWidth, t.distributionHeight, t.blockWidth, t.heightScale),
              std::tuple(3, 4, 2, 3, 16.0f, 300.0f));
    EXPECT_EQ(t.vertices[2 + 3 * 3].position[2], 32.0f); // column 2, row 3
    EXPECT_EQ(std::pair(t.distribution[0], t.distribution[1]), std::pair(1.0f, 0.0f)); // bytes 255 and 0
}

TEST_F(Document, RefusedDocumentsChangeNeitherTerrainNorHistory)
{
    makeFlatTerrain(9, 7, 40.0f);
    heightAt(3, 3) = 99.0f;
    pushWholeGridSnapshot(kUndoPositions);
    const auto before = documentState();
    const Bytes good = document(92, 3, 3, 2, 2);
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}}, {"short header", Bytes(27, 0)}, {"one byte short", Bytes(good.begin(), good.end() - 1)},
        {"one byte too many", [&] { Bytes b = good; b.push_back(0); return b; }()},
        {"version 93", patch(good, 0, 93)}, {"version 0", patch(good, 0, 0)}, {"float map as 91", patch(good, 0, 91)},
        {"zero block width", patch(good, 4, bits(0.0f))}, {"NaN block width", patch(good, 4, bits(NAN))},
        {"negative height scale", patch(good, 8, bits(-1.0f))}, {"zero grid width", document(92, 0, 3, 2, 2)},
        {"zero map height", document(92, 3, 3, 2, 0)}, {"negative grid height", patch(good, 16, -3)},
        {"negative map width", patch(good, 20, -2)}, {"grid side over 4097", document(92, 4098, 1, 1, 1)},
        {"largest grid width", patch(good, 12, INT32_MAX)}, {"map width over 8192", document(91, 1, 1, 8193, 1)},
        {"map height over 8192", document(91, 1, 1, 1, 8193)}, {"grid height over 4097", document(92, 1, 4098, 1, 1)},
        {"4097 x 4097 in a small file", patch(patch(good, 12, 4097), 16, 4097)},
    };
    for (const auto& [name, bytes] : cases) {
        editor.statusMessage.clear();
        EXPECT_FALSE(loadDocumentFromBytes(bytes.data(), bytes.size())) << name;
        EXPECT_FALSE(editor.statusMessage.empty()) << name;
        EXPECT_EQ(documentState(), before) << name;
    }
    writeAll(dir + "bad.bvt", patch(good, 0, 93));
    EXPECT_FALSE(loadDocument(dir + "bad.bvt"));
    EXPECT_EQ(editor.statusMessage, "Not a terrain document: " + dir + "bad.bvt");
    EXPECT_EQ(documentState(), before);
}
