// Terrain with shadows: as the standard program, plus the vertex in the
// light's shadow-map space (texture matrix 7 holds bias x projection x view
// of the light, applied to world positions).
#version 110

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;
varying vec4 shadowCoord;

void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    mapCoord = gl_MultiTexCoord0.st;
    tileCoord1 = gl_MultiTexCoord1.st;
    tileCoord2 = gl_MultiTexCoord2.st;
    tileCoord3 = gl_MultiTexCoord3.st;
    shadowCoord = gl_TextureMatrix[7] * gl_Vertex;
}
