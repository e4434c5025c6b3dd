// Sky sets: a readable panorama makes a sphere, otherwise six faces make a box.
#include <string>

#include "app/editor_state.h"
#include "render/sky.h"
#include "render/textures.h"
#include "support/gl_context.h"

using SkyTest = GlContextTest;

TEST_F(SkyTest, PanoramaWhenReadableElseSixFacesInSlotOrder)
{
    struct Case {
        std::string base;
        bool sphere, readable;
        size_t newRecords; // the box asks for the panorama first
    };
    const Case cases[] = {{"data/sky/default", true, true, 1}, {"data/sky/default", true, true, 0},
                          {"data/sky/box", false, true, 7}, {"nowhere/sky", false, false, 7}};
    const char* faces[6] = {"_up", "_dn", "_lf", "_rt", "_ft", "_bk"};
    for (const Case& c : cases) {
        const size_t before = editor.textureCache.size();
        loadSkySet(c.base);
        EXPECT_EQ(editor.skyIsSphere, c.sphere) << c.base;
        EXPECT_EQ(editor.textureCache.size() - before, c.newRecords) << c.base;
        for (int i = 0; i < (c.sphere ? 1 : 6); ++i) {
            const int32_t record = editor.skyTextures[size_t(i)];
            ASSERT_GE(record, 0) << c.base;
            EXPECT_EQ(editor.textureCache[size_t(record)].name, c.base + (c.sphere ? "" : faces[i]) + ".tga");
            EXPECT_EQ(textureName(record) != 0, c.readable) << c.base << faces[i];
        }
    }
}
