// Texture cache, TGA uploads and the distribution texture, read back from GL.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "render/gpu_mirror.h"
#include "render/textures.h"
#include "support/gl_context.h"

namespace {

// An uncompressed true-colour TGA, top row first in the file (descriptor bit
// 5). `rgb` holds top-row-first R, G, B(, A) bytes.
std::string writeTga(const std::string& path, int width, int height, int bits, const std::vector<uint8_t>& rgb)
{
    const int bytes = bits / 8;
    std::vector<uint8_t> file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8),
                                 uint8_t(bits), uint8_t(0x20 | (bits == 32 ? 8 : 0))};
    for (size_t i = 0; i < rgb.size(); i += size_t(bytes)) {
        file.push_back(rgb[i + 2]);
        file.push_back(rgb[i + 1]);
        file.push_back(rgb[i]);
        if (bytes == 4) file.push_back(rgb[i + 3]);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return {};
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    return path;
}

class TextureTest : public GlContextTest {
protected:
    void SetUp() override
    {
        GlContextTest::SetUp();
        char pattern[] = "/tmp/brivel_tex_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + dir + "'").c_str());
        GlContextTest::TearDown();
    }
    std::string dir;
};

GLint texParameter(GLenum which)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

} // namespace

TEST_F(TextureTest, CacheReadsEachExactPathOnceAndRemembersFailures)
{
    const std::string path = writeTga(dir + "/a.tga", 2, 2, 24, std::vector<uint8_t>(12, 200));
    const int32_t first = loadTextureCached(path);
    EXPECT_NE(textureName(first), 0u);
    EXPECT_EQ(loadTextureCached(path), first);
    EXPECT_EQ(editor.textureCache.size(), 1u);

    // Another spelling of the same file is another entry and another texture.
    const std::string dotted = dir + "/./a.tga";
    const int32_t second = loadTextureCached(dotted);
    EXPECT_NE(second, first);
    EXPECT_NE(textureName(second), 0u);
    EXPECT_NE(textureName(second), textureName(first));

    // A failed load is cached with texture 0 and not retried, even once the
    // file exists.
    const std::string missing = dir + "/missing.tga";
    const int32_t failed = loadTextureCached(missing);
    EXPECT_EQ(textureName(failed), 0u);
    writeTga(missing, 2, 2, 24, std::vector<uint8_t>(12, 7));
    EXPECT_EQ(loadTextureCached(missing), failed);
    EXPECT_EQ(textureName(failed), 0u);
    EXPECT_EQ(editor.textureCache.size(), 3u);
    EXPECT_EQ(textureName(kNoTexture), 0u);

    clearTextureCache();
    EXPECT_TRUE(editor.textureCache.empty());
    EXPECT_EQ(textureName(first), 0u);
}

TEST_F(TextureTest, LongPathsAreStoredWholeAndMatchedExactly)
{
    // Two paths that agree in their first 63 characters must stay apart.
    const std::string stem = dir + "/" + std::string(70, 'x');
    const std::string longA = writeTga(stem + "_a.tga", 1, 1, 24, {10, 20, 30});
    const std::string longB = writeTga(stem + "_b.tga", 1, 1, 24, {40, 50, 60});
    ASSERT_FALSE(longA.empty());
    ASSERT_FALSE(longB.empty());
    const int32_t a = loadTextureCached(longA);
    const int32_t b = loadTextureCached(longB);
    EXPECT_NE(a, b);
    EXPECT_EQ(editor.textureCache[a].name, longA);
    EXPECT_EQ(editor.textureCache[b].name, longB);
    EXPECT_EQ(loadTextureCached(longA), a);

    uint8_t texel[3] = {};
    glBindTexture(GL_TEXTURE_2D, textureName(b));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 40);
    EXPECT_EQ(texel[2], 60);
}

TEST_F(TextureTest, UploadsKeepEveryPixelTopRowFirst)
{
    struct Case {
        int width, height, bits;
        GLenum format;
    };
    // 3 wide at 24 bits: rows of 9 bytes, not a multiple of four.
    const Case cases[] = {{3, 2, 24, GL_RGB}, {3, 2, 32, GL_RGBA}, {5, 3, 24, GL_RGB}};
    for (const Case& c : cases) {
        const int bytes = c.bits / 8;
        std::vector<uint8_t> pixels(size_t(c.width * c.height * bytes));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7 + 3);
        const std::string path = writeTga(dir + "/p" + std::to_string(c.width) + "_" + std::to_string(c.bits) + ".tga",
                                          c.width, c.height, c.bits, pixels);
        const GLuint name = loadTextureFile(path);
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);
        GLint internal = 0, width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        GLint alphaBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits > 0, c.bits == 32) << c.width << "x" << c.height << "x" << c.bits;

        std::vector<uint8_t> back(pixels.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, c.format, GL_UNSIGNED_BYTE, back.data());
        EXPECT_EQ(back, pixels) << c.width << "x" << c.height << "x" << c.bits;
    }
}

TEST_F(TextureTest, LoadFlagsSelectFilteringAndWrapping)
{
    const std::string path = writeTga(dir + "/f.tga", 4, 4, 24, std::vector<uint8_t>(48, 90));
    struct Case {
        int mipmapped, clamp;
        GLint minFilter, generateMipmap, wrap;
    };
    const Case cases[] = {
        {0, 0, GL_LINEAR, GL_FALSE, GL_REPEAT},
        {1, 0, GL_LINEAR_MIPMAP_LINEAR, GL_TRUE, GL_REPEAT},
        {0, 1, GL_LINEAR, GL_FALSE, GL_CLAMP_TO_EDGE},
    };
    for (const Case& c : cases) {
        editor.loadMipmapped = c.mipmapped;
        editor.loadClampToEdge = c.clamp;
        const GLuint name = loadTextureFile(path);
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), c.minFilter);
        EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(texParameter(GL_GENERATE_MIPMAP), c.generateMipmap);
        EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), c.wrap);
        EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), c.wrap);
    }
    // Mipmapped textures carry their smaller levels: level 2 of 4 x 4 is 1 x 1.
    editor.loadMipmapped = 1;
    glBindTexture(GL_TEXTURE_2D, loadTextureFile(path));
    GLint levelWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &levelWidth);
    EXPECT_EQ(levelWidth, 1);
}

TEST_F(TextureTest, UnreadableFilesGiveTextureZero)
{
    std::FILE* f = std::fopen((dir + "/short.tga").c_str(), "wb");
    std::fwrite("TGA", 1, 3, f);
    std::fclose(f);
    EXPECT_EQ(loadTextureFile(dir + "/short.tga"), 0u);
    EXPECT_EQ(loadTextureFile(dir + "/none.tga"), 0u);
    EXPECT_EQ(loadTextureFile(dir), 0u);

    // A valid image wider than the GL accepts is refused with a message
    // instead of leaving an empty texture behind.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    const int wide = maxSize + 1;
    const std::string path = writeTga(dir + "/wide.tga", wide, 1, 24, std::vector<uint8_t>(size_t(wide) * 3, 9));
    EXPECT_EQ(loadTextureFile(path), 0u);
    EXPECT_NE(editor.statusMessage.find("wide.tga"), std::string::npos);
}

TEST_F(TextureTest, DistributionTextureHoldsTheMapAndReplacingDeletesTheOld)
{
    Terrain& t = editor.terrain;
    t.distributionWidth = 5;
    t.distributionHeight = 3;
    t.distribution.resize(5 * 3 * 3);
    for (size_t i = 0; i < t.distribution.size(); ++i) t.distribution[i] = float(i % 11) / 10.0f;

    replaceDistributionTexture();
    const GLuint first = t.distributionTexture;
    ASSERT_NE(first, 0u);
    std::vector<float> back(t.distribution.size());
    glBindTexture(GL_TEXTURE_2D, first);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    for (size_t i = 0; i < back.size(); ++i)
        EXPECT_NEAR(back[i], t.distribution[i], 1.0f / 255.0f) << "weight " << i;

    // Paint-like change of one texel, sent as a row update.
    t.distribution[(1 * 5 + 2) * 3 + 1] = 1.0f;
    updateDistributionRows(2, 1, 2, 1);
    glBindTexture(GL_TEXTURE_2D, first);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    EXPECT_NEAR(back[(1 * 5 + 2) * 3 + 1], 1.0f, 1.0f / 255.0f);

    replaceDistributionTexture();
    EXPECT_NE(t.distributionTexture, 0u);
    EXPECT_NE(t.distributionTexture, first);
    EXPECT_EQ(glIsTexture(first), GL_FALSE);
}

TEST_F(TextureTest, EditorTexturesKeepEmptyGroundSlotsEmpty)
{
    loadEditorTextures({"data/textures/sand1.tga", "", "data/textures/snow1.tga"});
    EXPECT_NE(textureName(editor.buttonIcon), 0u);
    EXPECT_EQ(editor.groundTextures[1], kNoTexture);
    EXPECT_EQ(editor.loadMipmapped, 0);
    for (int32_t icon : editor.opIcons) EXPECT_NE(textureName(icon), 0u);

    // Ground textures are mipmapped, the icons are not.
    glBindTexture(GL_TEXTURE_2D, textureName(editor.groundTextures[2]));
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    glBindTexture(GL_TEXTURE_2D, textureName(editor.opIcons[0]));
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    // What a resize remembers and reloads: the names, the empty slot empty.
    const std::array<std::string, 3> names = groundTextureNames();
    EXPECT_EQ(names[0], "data/textures/sand1.tga");
    EXPECT_EQ(names[1], "");
    clearTextureCache();
    loadEditorTextures(names);
    EXPECT_EQ(groundTextureNames(), names);
    EXPECT_EQ(editor.groundTextures[1], kNoTexture);
}
