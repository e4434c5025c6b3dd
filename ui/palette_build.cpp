// The fixed layout of the tool palette against the window's corners.
#include <array>

#include "ops/commands.h"
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

constexpr const char* kFileTips[5] = {"Import Texture", "Load Terrain", "Save Terrain", "Import Heightmap",
                                     "Export Terrain"};
constexpr const char* kFileCaptions[5] = {"T", "L", "S", "I", "E"};

constexpr const char* kCommandTips[6] = {"Texture by Elevation", "Invert Terrain",     "Generate Random",
                                        "Erosion",              "Increase Detail 2x", "Decrease Detail 2x"};
constexpr const char* kCommandCaptions[6] = {"T", "I", "R", "E", "D+", "D-"};
// A refusal has posted its reason already: the buttons need no answer.
constexpr ButtonAction kCommandActions[6] = {
    [] { commandTextureByElevation(); }, [] { commandInvertTerrain(); },  [] { commandGenerateRandom(); },
    [] { commandErosion(); },            [] { commandIncreaseDetail(); }, [] { commandDecreaseDetail(); }};

} // namespace

void buildPalette(const std::array<ButtonAction, 5>& fileActions)
{
    clearButtons();
    const int w = editor.windowWidth, h = editor.windowHeight;
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
    // File buttons along the bottom right corner, left to right.
    for (int k = 0; k < 5; ++k) {
        const int x = w - 250 + 50 * k;
        editor.fileButtons[size_t(k)] =
            createButton(kFileCaptions[k], x, h - 50, x + 40, h - 10, buttonImage, fileActions[size_t(k)], kFileTips[k]);
    }
    // Whole-terrain commands in a column up the right edge, top to bottom.
    for (int k = 0; k < 6; ++k) {
        const int y = h - 450 + 50 * k;
        createButton(kCommandCaptions[k], w - 50, y, w - 10, y + 40, buttonImage, kCommandActions[k],
                     kCommandTips[k]);
    }
    createButton("<", 10, h - 150, 30, h - 110, buttonImage, selectPreviousStamp, "Previous Modifier");
    createButton(">", 90, h - 150, 110, h - 110, buttonImage, selectNextStamp, "Next Modifier");

    selectTool(0);
}
