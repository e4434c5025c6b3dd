#include "sculpt/stamps.h"

#include <vector>

#include "app/editor_state.h"

void releaseBrushStamps()
{
    std::vector<BrushStamp>().swap(editor.stamps);
    editor.currentStamp = -1;
}

static bool validStamp(int index) { return index >= 0 && index < int(editor.stamps.size()); }

void selectNextStamp()
{
    if (editor.stamps.empty()) return;
    const int current = editor.currentStamp;
    const int next = validStamp(current) ? editor.stamps[size_t(current)].next : -1;
    editor.currentStamp = validStamp(next) ? next : 0;
}

void selectPreviousStamp()
{
    if (editor.stamps.empty()) return;
    const int current = editor.currentStamp;
    const int previous = validStamp(current) ? editor.stamps[size_t(current)].previous : -1;
    editor.currentStamp = validStamp(previous) ? previous : int(editor.stamps.size()) - 1;
}

const float* currentStampMask(int* width, int* height)
{
    // Without any stamp a stroke acts at full strength everywhere.
    static const float kUniformMask[1] = {1.0f};
    if (validStamp(editor.currentStamp)) {
        const BrushStamp& stamp = editor.stamps[size_t(editor.currentStamp)];
        if (stamp.width > 0 && stamp.height > 0 &&
            stamp.mask.size() == size_t(stamp.width) * size_t(stamp.height)) {
            *width = stamp.width;
            *height = stamp.height;
            return stamp.mask.data();
        }
    }
    *width = 1;
    *height = 1;
    return kUniformMask;
}
