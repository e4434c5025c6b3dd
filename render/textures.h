// TGA files turned into GL textures through a cache keyed by the exact path.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// How a texture is sampled.
struct TextureOptions {
    bool mipmapped = false;   // trilinear mipmaps (ground textures, which tile)
    bool clampToEdge = false; // no wrap-around at the edges (sky images)
};

// The cached record for `path` (an index into editor.textureCache), loading
// the file on first use with `options`. A failed load is cached too, with
// texture 0 and the reason; the options of the first load stay with the record.
int32_t loadTextureCached(const std::string& path, TextureOptions options = {});
// The GL name of a record, 0 for kNoTexture.
uint32_t textureName(int32_t record);
// Reads a TGA no larger than the GL takes (and 8192 a side at most) and
// uploads it; 0 on failure, with the reason in `failure` when given.
uint32_t loadTextureFile(const std::string& path, TextureOptions options = {}, std::string* failure = nullptr);
// Forgets every record (the GL context that owned the names is gone).
void clearTextureCache();
// Whether the current context still knows any cached texture: false in a
// context made afresh, true where a mode change kept the old one.
bool cachedTexturesAlive();

// The button image, the three ground textures (mipmapped; an empty name
// leaves its slot empty) and the seven tool icons, in start-up order.
void loadEditorTextures(const std::array<std::string, 3>& groundPaths);
// The file names the ground slots hold ("" for an empty slot), remembered
// across a cache reset.
std::array<std::string, 3> groundTextureNames();
