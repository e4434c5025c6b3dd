#include "ops/commands.h"

#include <cstdlib>
#include <string>

#include "ops/detail.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "terrain/operation.h"
#include "terrain/undo.h"

// Runs `work` as one named operation; work() returns whether the command
// went ahead. A refused command posts its reason and records nothing. One
// that goes ahead gets all its memory before it records its entry and
// changes the terrain, so running out of it refuses the command just as
// cleanly.
template <class Work> static bool runCommand(const char* operation, Work work)
{
    bool wentAhead = false;
    const bool hadMemory = runOperation(operation, [&] { wentAhead = work(); });
    return hadMemory && wentAhead;
}

// A command whose refusal is decided before `work`, which then goes ahead.
template <class Refusal, class Work> static bool runCommand(const char* operation, Refusal refusal, Work work)
{
    return runCommand(operation, [&] {
        if (refused(refusal()))
            return false;
        work();
        return true;
    });
}

// These two check their own refusal: it needs the height range, which they
// then use.
bool commandTextureByElevation() { return runCommand("Texture by Elevation", textureByElevation); }

bool commandInvertTerrain() { return runCommand("Invert Terrain", invertTerrain); }

bool commandGenerateRandom()
{
    return runCommand("Generate Random", [] {
        generateRandomTerrain();
        return true;
    });
}

bool commandErosion()
{
    return runCommand("Erosion", [] {
        erodeTerrain();
        return true;
    });
}

// The new grid is built first, then the entry is recorded, then the grid is
// installed.
template <class Refusal, class Plan>
static bool changeGrid(const char* operation, int undoKind, Refusal refusal, Plan plan)
{
    return runCommand(operation, refusal, [&] {
        GridChange change;
        plan(change);
        pushWholeGridSnapshot(undoKind);
        installGridChange(change);
    });
}

bool commandIncreaseDetail()
{
    return changeGrid("Increase Detail 2x", kUndoIncreaseDetail, increaseDetailRefusal, planIncreaseDetail);
}

bool commandDecreaseDetail()
{
    return changeGrid("Decrease Detail 2x", kUndoDecreaseDetail, decreaseDetailRefusal, planDecreaseDetail);
}

static bool resizeCommand(bool yAxis, int step, int undoKind)
{
    return changeGrid(
        yAxis ? "Change Y Dimension" : "Change X Dimension", undoKind,
        [=] { return resizeGridRefusal(yAxis, step); },
        [=](GridChange& change) { planResizeGrid(yAxis, step, change); });
}

bool commandGrowGrid(bool yAxis, int step) { return resizeCommand(yAxis, std::abs(step), kUndoGridGrow); }

bool commandShrinkGrid(bool yAxis, int step) { return resizeCommand(yAxis, -std::abs(step), kUndoGridShrink); }

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
static bool blockWidthCommand(float delta)
{
    return runCommand("Change Block Width", [=] { return blockWidthRefusal(delta); }, [=] {
        pushWholeGridSnapshot(kUndoPositions);
        changeBlockWidth(delta);
    });
}

static bool heightScaleCommand(float delta)
{
    return runCommand("Scale Height", [=] { return heightScaleRefusal(delta); }, [=] {
        pushWholeGridSnapshot(kUndoPositions);
        scaleHeights(delta);
    });
}

bool commandBlockWidth(bool increase, bool shift)
{
    return blockWidthCommand(scaleDelta(editor.terrain.blockWidth, increase, shift, 1.0f, 3.0f));
}

bool commandHeightScale(bool increase, bool shift)
{
    return heightScaleCommand(scaleDelta(editor.terrain.heightScale, increase, shift, 0.5f, 1.0f));
}

bool commandSetBlockWidth(float value) { return blockWidthCommand(value - editor.terrain.blockWidth); }

bool commandSetHeightScale(float value) { return heightScaleCommand(value - editor.terrain.heightScale); }
