#include "ui/palette.h"

#include <algorithm>

#include "sculpt/stroke.h"

namespace {

constexpr float kSelectedTool[3] = {0.0f, 1.0f, 0.0f};
constexpr float kOtherTool[3] = {0.0f, 0.5f, 0.0f};

void tint(int slot, const float rgb[3])
{
    if (slot < 0 || slot >= kButtonSlots) return;
    Button& button = editor.buttons[size_t(slot)];
    button.r = rgb[0];
    button.g = rgb[1];
    button.b = rgb[2];
}

bool isTextureTool(int op) { return op >= 5; }

// True when a stroke holds the copy of the other family's data.
bool strokeHeldByOtherFamily(int op)
{
    return isTextureTool(op) ? editor.hasVertexSnapshot : editor.hasDistributionSnapshot;
}

} // namespace

int createButton(const char* caption, int x1, int y1, int x2, int y2, uint32_t icon, ButtonAction action,
                 const char* tooltip)
{
    for (int slot = 0; slot < kButtonSlots; ++slot) {
        Button& button = editor.buttons[size_t(slot)];
        if (button.inUse) continue;
        button = Button{};
        button.inUse = 1;
        button.x1 = float(x1);
        button.y1 = float(y1);
        button.x2 = float(x2);
        button.y2 = float(y2);
        button.icon = icon;
        button.action = action;
        button.hasCaption = caption != nullptr;
        if (caption) button.caption = caption;
        button.hasTooltip = tooltip != nullptr;
        if (tooltip) button.tooltip = tooltip;
        return slot;
    }
    return -1;
}

void clearButtons()
{
    for (Button& button : editor.buttons) button = Button{};
    editor.toolButtons.fill(-1);
    editor.textureButtons.fill(-1);
    editor.fileButtons.fill(-1);
}

bool clickPalette(int x, int y)
{
    const float fx = float(x), fy = float(y);
    for (const Button& button : editor.buttons) {
        if (!button.inUse) continue;
        if (fx < button.x1 || fx > button.x2 || fy < button.y1 || fy > button.y2) continue;
        // The action may rebuild the table; call a copy of the pointer.
        const ButtonAction action = button.action;
        if (action) action();
        return true;
    }
    return false;
}

void selectTool(int n)
{
    if (n < 0 || n > 7) return;
    // A held stroke's copy belongs to one family of tools; the other family
    // would change data it has no undo copy of.
    if (strokeHeldByOtherFamily(n)) finishHeldStroke();
    editor.currentOp = n;
    for (int tool = 0; tool < int(editor.toolButtons.size()); ++tool) {
        tint(editor.toolButtons[size_t(tool)], tool == n ? kSelectedTool : kOtherTool);
    }
}

void chooseTexture(int n)
{
    if (n < 0 || n > 2) return;
    editor.paintTexture = n;
    if (editor.currentOp != kToolPaint) selectTool(kToolPaint);
}

float buttonAlpha(float distance) { return 1.0f - std::min(distance / 300.0f, 0.4f); }

TooltipPlacement placeTooltip(int mx, int my, int length, int windowWidth)
{
    const int width = 8 * length;
    if (mx < windowWidth - width) {
        return {mx - 2, my + 2, mx + width + 2, my - 15, float(mx), float(my)};
    }
    return {mx - width - 4, my + 2, mx, my - 15, float(mx - width - 2), float(my - 2)};
}
