// Texture import from the prompt: a display texture into one of the three
// ground slots (its chooser button shows the new image) or a sky set.
#include "app/editor_state.h"
#include "app/prompt.h"
#include "io/file_read.h"
#include "render/sky.h"
#include "render/textures.h"

#include <string>

static const std::string& failureOf(int32_t record)
{
    static const std::string kNone;
    if (record < 0 || size_t(record) >= editor.textureCache.size())
        return kNone;
    return editor.textureCache[size_t(record)].failure;
}

// No image of the set could be used. A missing panorama is normal (the set
// is a box then), so the reason given is that of the first file that exists.
static void reportUnreadableSky(const std::string& base)
{
    TextureOptions clamped;
    clamped.clampToEdge = true;
    if (pathExists(base + ".tga")) {
        postStatus(failureOf(loadTextureCached(base + ".tga", clamped))); // cached: not read again
        return;
    }
    for (int32_t record : editor.skyTextures) {
        if (record >= 0 && pathExists(editor.textureCache[size_t(record)].name)) {
            postStatus(failureOf(record));
            return;
        }
    }
    postStatus("Cannot read sky set " + base);
}

void commitTextureImport()
{
    const std::string name = editor.promptText;
    if (editor.textureSlot == kTextureSlotSky) {
        loadSkySet(name);
        bool anyFace = false;
        for (int32_t record : editor.skyTextures)
            anyFace = anyFace || textureName(record) != 0;
        if (!anyFace)
            reportUnreadableSky(name);
        return;
    }
    if (editor.textureSlot < 0 || editor.textureSlot > 2)
        return;
    const size_t slot = size_t(editor.textureSlot);
    // Ground textures tile across the terrain: they get mipmaps.
    TextureOptions ground;
    ground.mipmapped = true;
    const int32_t record = loadTextureCached(name, ground);
    // An unreadable file still fills the slot (drawn untextured), as the cache keeps it.
    editor.groundTextures[slot] = record;
    const int32_t button = editor.textureButtons[slot];
    if (button >= 0 && button < kButtonSlots)
        editor.buttons[size_t(button)].icon = textureName(record);
    if (textureName(record) == 0)
        postStatus(failureOf(record).empty() ? "Cannot read texture " + name : failureOf(record));
}
