#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

// A one-row strip keeps every droplet's path traceable by hand.
void makeStrip(const std::vector<float>& heights)
{
    makeFlatTerrain(int(heights.size()), 1, 0.0f);
    for (size_t c = 0; c < heights.size(); ++c)
        heightAt(int(c), 0) = heights[c];
}

double heightSum()
{
    double sum = 0;
    for (const TerrainVertex& v : editor.terrain.vertices)
        sum += v.position[2];
    return sum;
}

TEST(Erosion, FlatTerrainIsUnchangedButRecorded)
{
    makeFlatTerrain(65, 65, 256.0f);
    erodeTerrain();
    for (const TerrainVertex& v : editor.terrain.vertices)
        ASSERT_EQ(v.position[2], 256.0f);
    EXPECT_EQ(undoCount(), 1);
}

TEST(Erosion, HandTracedDroplets)
{
    struct Case {
        const char* what;
        std::vector<float> before, after;
    };
    const Case cases[] = {
        // From 10 down to 0; at 0 the only neighbour left (5) is higher, so
        // 1.25 + 1.1875 is dropped there. Then 1.25 starts its own droplet,
        // which stops at once; then 5 runs down to the middle again.
        {"valley", {10, 0, 5}, {8.75f, 2.5f, 3.75f}},
        // Heights all above 99999: lo stays 99999 and T = 109999.1, so the
        // vertex at 109999.5 starts a droplet although it lies below
        // 0.1 * hi + 0.9 * (true lowest).
        {"above 99999", {200000, 100000, 109999.5f}, {199998.75f, 100002.5f, 109998.25f}},
        // Heights all below -9999: hi stays -9999 and T = -18999.9, above
        // every height, so no droplet starts.
        {"below -9999", {-19000, -20000, -19500}, {-19000, -20000, -19500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeStrip(c.before);
        erodeTerrain();
        for (size_t i = 0; i < c.after.size(); ++i)
            EXPECT_NEAR(heightAt(int(i), 0), c.after[i], 0.01f) << i;
    }
}

TEST(Erosion, DropletStopsAfterTwentySteps)
{
    // A cliff top (only it lies above the threshold) over a long slope that
    // falls 3 per vertex, more than any step removes: the droplet walks until
    // its age reaches 1 after the twentieth removal, at vertex 19, and drops
    // the 13.125 it carries there.
    std::vector<float> strip(30);
    strip[0] = 10000;
    for (int c = 1; c < 30; ++c)
        strip[c] = 100.0f - 3.0f * c;
    makeStrip(strip);
    erodeTerrain();
    EXPECT_NEAR(heightAt(0, 0), 10000 - 1.25f, 1e-3f);
    for (int k = 1; k < 19; ++k)
        EXPECT_NEAR(heightAt(k, 0), strip[k] - 1.25f * (1 - 0.05f * k), 1e-4f) << k;
    EXPECT_NEAR(heightAt(19, 0), strip[19] - 0.0625f + 13.125f, 1e-4f);
    for (int c = 20; c < 30; ++c)
        EXPECT_EQ(heightAt(c, 0), strip[c]) << c;
}

TEST(Erosion, CentrePeakRunsToItsLowestNeighbourOnly)
{
    // Only the peak reaches T = 10. It runs to (0, 0), whose lowest neighbour
    // other than the peak is 5, higher than 0 - 1.1875: it stops there.
    makeFlatTerrain(3, 3, 0.0f);
    const float before[9] = {0, 5, 9, 8, 100, 9, 9, 9, 9};
    const float after[9] = {1.25f, 5, 9, 8, 98.75f, 9, 9, 9, 9};
    for (int i = 0; i < 9; ++i)
        heightAt(i % 3, i / 3) = before[i];
    erodeTerrain();
    for (int i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(heightAt(i % 3, i / 3), after[i]) << i;
}

TEST(Erosion, ConservesTheHeightSumAndUndoesExactly)
{
    makeFlatTerrain(65, 65, 256.0f);
    srand(42);
    generateRandomTerrain();
    clearHistory();
    std::vector<float> before;
    for (const TerrainVertex& v : editor.terrain.vertices)
        before.push_back(v.position[2]);
    const double sumBefore = heightSum();

    erodeTerrain();
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += editor.terrain.vertices[i].position[2] != before[i];
    EXPECT_GT(changed, 100);
    EXPECT_NEAR(heightSum(), sumBefore, 1e-6 * 65 * 65 * 537);

    undo();
    for (size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(editor.terrain.vertices[i].position[2], before[i]);
}

} // namespace
