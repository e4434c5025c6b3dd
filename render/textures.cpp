// Texture cache and TGA upload.
//
// Every on-screen image goes through loadTextureCached, so a file is read at
// most once per GL context. Records are addressed by their index in
// editor.textureCache; the vector only grows until the whole cache is
// forgotten (resize, shutdown), so indices stay valid as references.
#include "render/textures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "app/editor_state.h"
#include "io/tga.h"

int32_t loadTextureCached(const std::string& path, TextureOptions options)
{
    const int32_t count = static_cast<int32_t>(editor.textureCache.size());
    for (int32_t i = 0; i < count; ++i) {
        if (editor.textureCache[i].name == path)
            return i;
    }
    // A failed load is remembered as well (texture 0), so a missing file is
    // not read again every time something asks for it.
    TextureRecord record;
    record.name = path;
    record.texture = loadTextureFile(path, options, &record.failure);
    editor.textureCache.push_back(std::move(record));
    return count;
}

uint32_t textureName(int32_t record)
{
    if (record < 0 || record >= static_cast<int32_t>(editor.textureCache.size()))
        return 0;
    return editor.textureCache[record].texture;
}

uint32_t loadTextureFile(const std::string& path, TextureOptions options, std::string* failure)
{
    // The GL's own limit reaches the reader, which refuses a larger image
    // from its header before reading or allocating its pixels.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    TgaOptions limit;
    limit.maxSide = maxSize > 0 ? std::min(int(maxSize), kMaxImageSide) : kMaxImageSide;
    Image image = readTga(path, limit);
    if (image.pixels.empty() || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
        if (failure != nullptr)
            *failure = image.failure.empty() ? "Cannot read image " + path : image.failure;
        return 0;
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    if (options.mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }

    // Rows of a 24-bit image whose width is not a multiple of four are not
    // 4-byte aligned; with the default unpack alignment they would shear.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = image.bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0,
                 format, GL_UNSIGNED_BYTE, image.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    if (options.clampToEdge) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    return name;
}

void clearTextureCache() { editor.textureCache.clear(); }

bool cachedTexturesAlive()
{
    for (const TextureRecord& record : editor.textureCache)
        if (record.texture != 0 && glIsTexture(record.texture)) return true;
    return false;
}

void loadEditorTextures(const std::array<std::string, 3>& groundPaths)
{
    static const char* const kToolIcons[7] = {"carve.tga", "raise.tga", "smooth.tga", "noise.tga",
                                              "flatten.tga", "paint.tga", "erase.tga"};
    editor.buttonIcon = loadTextureCached(dataFile("button.tga"));
    TextureOptions ground;
    ground.mipmapped = true;
    for (size_t slot = 0; slot < groundPaths.size(); ++slot)
        editor.groundTextures[slot] =
            groundPaths[slot].empty() ? kNoTexture : loadTextureCached(groundPaths[slot], ground);
    for (size_t i = 0; i < editor.opIcons.size(); ++i) editor.opIcons[i] = loadTextureCached(dataFile(kToolIcons[i]));
}

std::array<std::string, 3> groundTextureNames()
{
    std::array<std::string, 3> names;
    for (size_t slot = 0; slot < names.size(); ++slot) {
        const int32_t record = editor.groundTextures[slot];
        if (record >= 0 && record < static_cast<int32_t>(editor.textureCache.size()))
            names[slot] = editor.textureCache[size_t(record)].name;
    }
    return names;
}
