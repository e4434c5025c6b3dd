#include "ops/commands.h"

#include <cstdlib>

#include "ops/detail.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "terrain/operation.h"
#include "terrain/undo.h"

void commandTextureByElevation() { runOperation("Texture by Elevation", textureByElevation); }

void commandInvertTerrain() { runOperation("Invert Terrain", invertTerrain); }

void commandGenerateRandom() { runOperation("Generate Random", generateRandomTerrain); }

void commandErosion() { runOperation("Erosion", erodeTerrain); }

// The new grid is built first, then the entry is recorded, then the grid is
// installed: a refusal for memory at either of the first two steps leaves
// terrain and history as they were. A change that does not apply (below the
// smallest size) still records its entry; one refused as too large does not.
static void changeGrid(const char* operation, int undoKind, GridPlan (*plan)(int, GridChange&), int step)
{
    runOperation(operation, [&] {
        GridChange change;
        const GridPlan planned = plan(step, change);
        if (planned == GridPlan::kRefused)
            return;
        pushWholeGridSnapshot(undoKind);
        if (planned == GridPlan::kReady)
            installGridChange(change);
    });
}

void commandIncreaseDetail()
{
    changeGrid("Increase Detail 2x", kUndoIncreaseDetail, [](int, GridChange& c) { return planIncreaseDetail(c); }, 0);
}

void commandDecreaseDetail()
{
    changeGrid("Decrease Detail 2x", kUndoDecreaseDetail, [](int, GridChange& c) { return planDecreaseDetail(c); }, 0);
}

void commandGrowGrid(bool yAxis, int step)
{
    changeGrid(yAxis ? "Change Y Dimension" : "Change X Dimension", kUndoGridGrow,
               yAxis ? planResizeGridY : planResizeGridX, std::abs(step));
}

void commandShrinkGrid(bool yAxis, int step)
{
    changeGrid(yAxis ? "Change Y Dimension" : "Change X Dimension", kUndoGridShrink,
               yAxis ? planResizeGridY : planResizeGridX, -std::abs(step));
}

// [ halves the value and Shift+[ quarters it, so the decreasing keys act
// (taking the whole value away would always be refused) and the block width
// steps of [ and ] undo each other.
static float scaleDelta(float value, bool increase, bool shift, float up, float upShift)
{
    if (increase)
        return (shift ? upShift : up) * value;
    return (shift ? -0.75f : -0.5f) * value;
}

// Both change values in place: the entry is the only memory they need.
void commandBlockWidth(bool increase, bool shift)
{
    runOperation("Change Block Width", [&] {
        pushWholeGridSnapshot(kUndoPositions);
        changeBlockWidth(scaleDelta(editor.terrain.blockWidth, increase, shift, 1.0f, 3.0f));
    });
}

void commandHeightScale(bool increase, bool shift)
{
    runOperation("Scale Height", [&] {
        pushWholeGridSnapshot(kUndoPositions);
        scaleHeights(scaleDelta(editor.terrain.heightScale, increase, shift, 0.5f, 1.0f));
    });
}
