#include "render/hud2d.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

void drawQuad2D(uint32_t texture, int x1, int y1, int x2, int y2)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(x1, y1);
    glTexCoord2f(1, 0);
    glVertex2i(x2, y1);
    glTexCoord2f(1, 1);
    glVertex2i(x2, y2);
    glTexCoord2f(0, 1);
    glVertex2i(x1, y2);
    glEnd();
}

void drawText2D(const char* text, HudFont font, float x, float y)
{
    void* glutFont = font == kFontLarge ? GLUT_BITMAP_9_BY_15 : GLUT_BITMAP_8_BY_13;
    glDisable(GL_TEXTURE_2D);
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(glutFont, static_cast<unsigned char>(*c));
    glEnable(GL_TEXTURE_2D);
}
