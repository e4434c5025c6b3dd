// Texture cache and TGA uploads, read back from GL.
#include <GL/gl.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "render/textures.h"
#include "support/gl_context.h"

namespace {

// An uncompressed true-colour TGA stored top row first; `rgb` holds R, G, B(, A) per pixel.
std::string writeTga(const std::string& path, int width, int height, int bits, const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8),
                                 uint8_t(bits), uint8_t(0x20 | (bits == 32 ? 8 : 0))};
    for (size_t i = 0; i < rgb.size(); i += size_t(bits / 8)) {
        file.insert(file.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
        if (bits == 32) file.push_back(rgb[i + 3]);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return path;
}

class TextureTest : public GlContextTest {
protected:
    void SetUp() override { GlContextTest::SetUp(); std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); GlContextTest::TearDown(); }
    const std::string dir = "/tmp/brivel_tex_" + std::to_string(getpid());
};

} // namespace

TEST_F(TextureTest, CacheReadsEachExactPathOnceAndRemembersFailures)
{
    // Long names that agree in their first 70 characters must stay apart.
    const std::string stem = dir + "/" + std::string(70, 'x');
    const std::string path = writeTga(stem + "_a.tga", 2, 2, 24, std::vector<uint8_t>(12, 200));
    const int32_t first = loadTextureCached(path);
    EXPECT_NE(textureName(first), 0u);
    EXPECT_EQ(loadTextureCached(path), first);

    // A failed load is cached with texture 0 and not retried once the file exists.
    const int32_t failed = loadTextureCached(stem + "_b.tga");
    writeTga(stem + "_b.tga", 2, 2, 24, std::vector<uint8_t>(12, 7));
    EXPECT_EQ(loadTextureCached(stem + "_b.tga"), failed);
    EXPECT_EQ(textureName(failed), 0u);
    EXPECT_EQ(editor.textureCache.size(), 2u);
}

TEST_F(TextureTest, UploadsKeepEveryPixelTopRowFirst)
{
    struct Case {
        int width, height, bits;
        GLenum format;
    };
    // 3 and 5 wide at 24 bits: rows that are not a multiple of four bytes.
    const Case cases[] = {{3, 2, 24, GL_RGB}, {3, 2, 32, GL_RGBA}, {5, 3, 24, GL_RGB}};
    for (const Case& c : cases) {
        std::vector<uint8_t> pixels(size_t(c.width * c.height * c.bits / 8));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7 + 3);
        const GLuint name = loadTextureFile(writeTga(dir + "/p" + std::to_string(c.width) + "_" + std::to_string(c.bits) + ".tga",
                                                     c.width, c.height, c.bits, pixels));
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        ASSERT_EQ(width, c.width);
        std::vector<uint8_t> back(pixels.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, c.format, GL_UNSIGNED_BYTE, back.data());
        EXPECT_EQ(back, pixels) << c.width << "x" << c.bits;
    }
}

TEST_F(TextureTest, UnreadableOrTooWideFilesGiveTextureZero)
{
    std::ofstream(dir + "/short.tga") << "TGA";
    // A valid image wider than the GL accepts, or than 8192, is refused with a reason.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int wide = std::min(int(maxSize), 8192) + 1;
    writeTga(dir + "/wide.tga", wide, 1, 24, std::vector<uint8_t>(size_t(wide) * 3, 9));
    const std::pair<std::string, std::string> cases[] = {{"/short.tga", "Cannot read image "}, {"/none.tga", "Cannot open "},
                                                         {"", "Not a regular file: "}, {"/wide.tga", "Image too large "}};
    for (const auto& [name, reason] : cases) {
        std::string failure;
        EXPECT_EQ(loadTextureFile(dir + name, {}, &failure), 0u) << name;
        EXPECT_TRUE(failure.starts_with(reason)) << failure;
    }
}
