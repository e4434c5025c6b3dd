// Drawing of the palette; kept apart from the table logic so that the model
// tests exercise that logic without a GL context.
#include <GL/gl.h>
#include <SDL.h>

#include <cmath>

#include "render/hud2d.h"
#include "ui/palette.h"

void drawPalette()
{
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);

    int hovered = -1;
    for (int slot = 0; slot < kButtonSlots; ++slot) {
        const Button& button = editor.buttons[size_t(slot)];
        if (!button.inUse) continue;
        const float cx = (button.x1 + button.x2) / 2.0f;
        const float cy = (button.y1 + button.y2) / 2.0f;
        const float distance = std::hypot(cx - float(mx), cy - float(my));
        glColor4f(button.r, button.g, button.b, buttonAlpha(distance));
        drawQuad2D(button.icon, int(button.x1), int(button.y1), int(button.x2), int(button.y2));
        if (button.hasCaption) {
            glColor3f(1.0f - button.r, 1.0f - button.g, 1.0f - button.b);
            drawText2D(button.caption.c_str(), kFontLarge, cx - 4.5f * float(button.caption.size()), cy + 6.5f);
        }
        const float fx = float(mx), fy = float(my);
        if (button.hasTooltip && button.x1 <= fx && fx <= button.x2 && button.y1 <= fy && fy <= button.y2) {
            hovered = slot; // a later slot replaces an earlier one
        }
    }
    if (hovered < 0) return;

    const std::string& tooltip = editor.buttons[size_t(hovered)].tooltip;
    const TooltipPlacement box = placeTooltip(mx, my, int(tooltip.size()), editor.windowWidth);
    glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    drawQuad2D(0, box.x1, box.y1, box.x2, box.y2);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawText2D(tooltip.c_str(), kFontSmall, box.textX, box.textY);
}
