#include "ops/commands.h"

#include <cstdlib>

#include "ops/detail.h"
#include "ops/transforms.h"
#include "terrain/undo.h"

void commandIncreaseDetail()
{
    pushWholeGridSnapshot(kUndoIncreaseDetail);
    increaseDetail();
}

void commandDecreaseDetail()
{
    pushWholeGridSnapshot(kUndoDecreaseDetail);
    decreaseDetail();
}

void commandGrowGrid(bool yAxis, int step)
{
    pushWholeGridSnapshot(kUndoGridGrow);
    if (yAxis)
        resizeGridY(std::abs(step));
    else
        resizeGridX(std::abs(step));
}

void commandShrinkGrid(bool yAxis, int step)
{
    pushWholeGridSnapshot(kUndoGridShrink);
    if (yAxis)
        resizeGridY(-std::abs(step));
    else
        resizeGridX(-std::abs(step));
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
    pushWholeGridSnapshot(kUndoPositions);
    changeBlockWidth(scaleDelta(editor.terrain.blockWidth, increase, shift, 1.0f, 3.0f));
}

void commandHeightScale(bool increase, bool shift)
{
    pushWholeGridSnapshot(kUndoPositions);
    scaleHeights(scaleDelta(editor.terrain.heightScale, increase, shift, 0.5f, 1.0f));
}
