// Terrain without shadows: passes the fixed-function arrays through.
// Unit 0 carries the distribution-map coordinate, units 1 to 3 the tiling
// coordinate of the three ground textures; the colour is the vertex lighting.
#version 110

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;

void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    mapCoord = gl_MultiTexCoord0.st;
    tileCoord1 = gl_MultiTexCoord1.st;
    tileCoord2 = gl_MultiTexCoord2.st;
    tileCoord3 = gl_MultiTexCoord3.st;
}
