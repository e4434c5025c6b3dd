// TGA files turned into GL textures through a cache keyed by the exact path.
#pragma once

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
