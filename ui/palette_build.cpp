// The fixed layout of the tool palette against the window's corners.
#include "app/prompt.h"
#include "render/textures.h"
#include "sculpt/stamps.h"
#include "ui/palette.h"

namespace {

// Button actions take no argument: one small function per tool and texture.
template <int n> void selectToolAction() { selectTool(n); }
template <int n> void chooseTextureAction() { chooseTexture(n); }

constexpr ButtonAction kToolActions[8] = {
    selectToolAction<0>, selectToolAction<1>, selectToolAction<2>, selectToolAction<3>,
    selectToolAction<4>, selectToolAction<5>, selectToolAction<6>, selectToolAction<7>,
};
constexpr ButtonAction kTextureActions[3] = {chooseTextureAction<0>, chooseTextureAction<1>,
                                             chooseTextureAction<2>};

// Icon index into opIcons of each tool; Smooth Texture shares Smooth's.
constexpr int kToolIcon[8] = {0, 1, 2, 3, 4, 5, 6, 2};
constexpr const char* kToolTips[8] = {"Carve", "Raise", "Smooth", "Noise", "Flatten", "Paint", "Erase",
                                      "Smooth Texture"};
constexpr const char* kToolCaptions[8] = {nullptr, nullptr, nullptr, nullptr, nullptr, "P", "E", "S"};

} // namespace

void buildPalette()
{
    clearButtons();
    const int h = editor.windowHeight;
    const uint32_t buttonImage = textureName(editor.buttonIcon);

    for (int i = 0; i < 3; ++i) {
        const int x = 10 + 60 * i;
        editor.textureButtons[size_t(i)] = createButton("", x, h - 220, x + 50, h - 170,
                                                        textureName(editor.groundTextures[size_t(i)]),
                                                        kTextureActions[i], "Choose Texture");
    }
    // Height tools along the bottom row, texture tools in the row above.
    for (int tool = 0; tool < 8; ++tool) {
        const int column = tool < 5 ? tool : tool - 5;
        const int top = tool < 5 ? h - 50 : h - 100;
        const int x = 10 + 50 * column;
        editor.toolButtons[size_t(tool)] =
            createButton(kToolCaptions[tool], x, top, x + 40, top + 40,
                         textureName(editor.opIcons[size_t(kToolIcon[tool])]), kToolActions[tool], kToolTips[tool]);
    }
    // The five file buttons ("Import Texture" .. "Export Terrain") and the six
    // terrain commands ("Texture by Elevation" .. "Decrease Detail 2x") go here.
    createButton("<", 10, h - 150, 30, h - 110, buttonImage, selectPreviousStamp, "Previous Modifier");
    createButton(">", 90, h - 150, 110, h - 110, buttonImage, selectNextStamp, "Next Modifier");

    selectTool(0);
    closePrompt();
}
