#include "ops/commands.h"

#include <cstdlib>

#include "ops/detail.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "terrain/operation.h"
#include "terrain/undo.h"

// Each command decides first whether it will go ahead: a refused command
// posts its reason and records nothing. One that goes ahead gets all its
// memory before it records its entry and changes the terrain, so running
// out of it refuses the command just as cleanly.

void commandTextureByElevation() { runOperation("Texture by Elevation", textureByElevation); }

void commandInvertTerrain() { runOperation("Invert Terrain", invertTerrain); }

void commandGenerateRandom() { runOperation("Generate Random", generateRandomTerrain); }

void commandErosion() { runOperation("Erosion", erodeTerrain); }

// The new grid is built first, then the entry is recorded, then the grid is
// installed.
template <class Refusal, class Plan>
static void changeGrid(const char* operation, int undoKind, Refusal refusal, Plan plan)
{
    runOperation(operation, [&] {
        if (refused(refusal()))
            return;
        GridChange change;
        plan(change);
        pushWholeGridSnapshot(undoKind);
        installGridChange(change);
    });
}

void commandIncreaseDetail()
{
    changeGrid("Increase Detail 2x", kUndoIncreaseDetail, increaseDetailRefusal, planIncreaseDetail);
}

void commandDecreaseDetail()
{
    changeGrid("Decrease Detail 2x", kUndoDecreaseDetail, decreaseDetailRefusal, planDecreaseDetail);
}

static void resizeCommand(bool yAxis, int step, int undoKind)
{
    changeGrid(
        yAxis ? "Change Y Dimension" : "Change X Dimension", undoKind,
        [=] { return resizeGridRefusal(yAxis, step); },
        [=](GridChange& change) { planResizeGrid(yAxis, step, change); });
}

void commandGrowGrid(bool yAxis, int step) { resizeCommand(yAxis, std::abs(step), kUndoGridGrow); }

void commandShrinkGrid(bool yAxis, int step) { resizeCommand(yAxis, -std::abs(step), kUndoGridShrink); }

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
        const float delta = scaleDelta(editor.terrain.blockWidth, increase, shift, 1.0f, 3.0f);
        if (refused(blockWidthRefusal(delta)))
            return;
        pushWholeGridSnapshot(kUndoPositions);
        changeBlockWidth(delta);
    });
}

void commandHeightScale(bool increase, bool shift)
{
    runOperation("Scale Height", [&] {
        const float delta = scaleDelta(editor.terrain.heightScale, increase, shift, 0.5f, 1.0f);
        if (refused(heightScaleRefusal(delta)))
            return;
        pushWholeGridSnapshot(kUndoPositions);
        scaleHeights(delta);
    });
}
