#include "ops/commands.h"

#include <cstdlib>

#include "ops/detail.h"
#include "ops/transforms.h"
#include "terrain/undo.h"

// Each command decides first whether it will go ahead: a refused command
// posts its reason and records nothing, while the entry of one that goes
// ahead is taken before anything changes.

void commandIncreaseDetail()
{
    if (refused(increaseDetailRefusal())) return;
    pushWholeGridSnapshot(kUndoIncreaseDetail);
    increaseDetail();
}

void commandDecreaseDetail()
{
    if (refused(decreaseDetailRefusal())) return;
    pushWholeGridSnapshot(kUndoDecreaseDetail);
    decreaseDetail();
}

void commandGrowGrid(bool yAxis, int step)
{
    step = std::abs(step);
    if (refused(resizeGridRefusal(yAxis, step))) return;
    pushWholeGridSnapshot(kUndoGridGrow);
    if (yAxis)
        resizeGridY(step);
    else
        resizeGridX(step);
}

void commandShrinkGrid(bool yAxis, int step)
{
    step = -std::abs(step);
    if (refused(resizeGridRefusal(yAxis, step))) return;
    pushWholeGridSnapshot(kUndoGridShrink);
    if (yAxis)
        resizeGridY(step);
    else
        resizeGridX(step);
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

void commandBlockWidth(bool increase, bool shift)
{
    const float delta = scaleDelta(editor.terrain.blockWidth, increase, shift, 1.0f, 3.0f);
    if (refused(blockWidthRefusal(delta))) return;
    pushWholeGridSnapshot(kUndoPositions);
    changeBlockWidth(delta);
}

void commandHeightScale(bool increase, bool shift)
{
    const float delta = scaleDelta(editor.terrain.heightScale, increase, shift, 0.5f, 1.0f);
    if (refused(heightScaleRefusal(delta))) return;
    pushWholeGridSnapshot(kUndoPositions);
    scaleHeights(delta);
}
