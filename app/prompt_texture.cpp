// Texture import from the prompt: a display texture into one of the three
// ground slots (its chooser button shows the new image) or a sky set.
#include "app/editor_state.h"
#include "app/prompt.h"
#include "render/sky.h"
#include "render/textures.h"

#include <string>

void commitTextureImport()
{
    const std::string name = editor.promptText;
    if (editor.textureSlot == kTextureSlotSky) {
        loadSkySet(name);
        bool anyFace = false;
        for (int32_t record : editor.skyTextures)
            anyFace = anyFace || textureName(record) != 0;
        if (!anyFace)
            postStatus("Cannot read sky set " + name);
        return;
    }
    if (editor.textureSlot < 0 || editor.textureSlot > 2)
        return;
    const size_t slot = size_t(editor.textureSlot);
    // Ground textures tile across the terrain: they get mipmaps.
    editor.loadMipmapped = 1;
    const int32_t record = loadTextureCached(name);
    editor.loadMipmapped = 0;
    // An unreadable file still fills the slot (drawn untextured), as the cache keeps it.
    editor.groundTextures[slot] = record;
    const int32_t button = editor.textureButtons[slot];
    if (button >= 0 && button < kButtonSlots)
        editor.buttons[size_t(button)].icon = textureName(record);
    if (textureName(record) == 0)
        postStatus("Cannot read texture " + name);
}
