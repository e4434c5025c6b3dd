// TGA files turned into GL textures through a cache keyed by the exact path.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The cached record for `path` (an index into editor.textureCache), loading
// the file on first use. A failed load is cached too, with texture 0.
int32_t loadTextureCached(const std::string& path);
// The GL name of a record, 0 for kNoTexture.
uint32_t textureName(int32_t record);
// Reads a TGA and uploads it with the filtering the load flags select; 0 on failure.
uint32_t loadTextureFile(const std::string& path);
// Forgets every record (the GL context that owned the names is gone).
void clearTextureCache();
// Deletes the GL texture of every record, then forgets the records (the
// context survived, so the names would otherwise leak).
void deleteTextureCache();
// Whether the current context still knows any cached texture: false in a
// context made afresh, true where a mode change kept the old one.
bool cachedTexturesAlive();

// Slot file names of the ground textures at start-up.
inline const char* const kDefaultGroundTextures[3] = {"textures/sand1.tga", "textures/grass1.tga",
                                                      "textures/snow1.tga"};
// The button image, the three ground textures (mipmapped; an empty name
// leaves its slot empty) and the seven tool icons, in start-up order.
void loadEditorTextures(const std::array<std::string, 3>& groundPaths);
// The file names the ground slots hold ("" for an empty slot), remembered
// across a cache reset.
std::array<std::string, 3> groundTextureNames();
