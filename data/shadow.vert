// Terrain with shadows: as the standard program, plus the vertex's world
// position (vertices come in world coordinates) for the shadow lookup.
#version 110

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;
varying vec3 worldPosition;

void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    mapCoord = gl_MultiTexCoord0.st;
    tileCoord1 = gl_MultiTexCoord1.st;
    tileCoord2 = gl_MultiTexCoord2.st;
    tileCoord3 = gl_MultiTexCoord3.st;
    worldPosition = gl_Vertex.xyz;
}
