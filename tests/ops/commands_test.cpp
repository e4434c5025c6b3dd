#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ops/commands.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

struct GridState {
    int gridX, gridY;
    float blockWidth, heightScale;
    std::vector<float> positions;

    static GridState capture()
    {
        const Terrain& t = editor.terrain;
        GridState s{t.gridX, t.gridY, t.blockWidth, t.heightScale, {}};
        for (const TerrainVertex& v : t.vertices)
            s.positions.insert(s.positions.end(), v.position, v.position + 3);
        return s;
    }
    bool operator==(const GridState&) const = default;
};

TEST(Commands, EveryCommandUndoesAndRedoesExactly)
{
    struct Case {
        const char* name;
        void (*run)();
    } cases[] = {
        {"generate random", [] { generateRandomTerrain(); }},
        {"erosion", [] { erodeTerrain(); }},
        {"invert", [] { invertTerrain(); }},
        {"increase detail", [] { commandIncreaseDetail(); }},
        {"decrease detail", [] { commandDecreaseDetail(); }},
        {"page up", [] { commandGrowGrid(false, 2); }},
        {"ctrl page up", [] { commandGrowGrid(true, 8); }},
        {"page down", [] { commandShrinkGrid(false, 8); }},
        {"ctrl page down", [] { commandShrinkGrid(true, 2); }},
        {"]", [] { commandBlockWidth(true, false); }},
        {"shift [", [] { commandBlockWidth(false, true); }},
        {"ctrl ]", [] { commandHeightScale(true, false); }},
        {"ctrl shift [", [] { commandHeightScale(false, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeFlatTerrain(33, 29, 0.0f, 24.0f);
        editor.terrain.heightScale = 300.0f;
        srand(99);
        generateRandomTerrain();
        clearHistory();
        const GridState before = GridState::capture();

        c.run();
        const GridState after = GridState::capture();
        ASSERT_FALSE(after == before);
        ASSERT_EQ(undoCount(), 1);

        undo();
        EXPECT_TRUE(GridState::capture() == before);
        EXPECT_EQ(editor.terrain.indices.size(), size_t(32 * 28 * 6));
        redo();
        EXPECT_TRUE(GridState::capture() == after);
    }
}

} // namespace
