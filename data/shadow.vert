// Terrain with shadows: as the standard program, plus where the vertex looks
// into the light's depth map (texture matrix 7 takes world positions, which
// the vertices are, into the map).
#version 110

uniform vec3 lightPosition;  // world
uniform float texelPerDepth; // world size of one map texel per unit of distance from the light

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;
varying vec4 shadowCoord;

// How far, in map texels, the lookup moves off the surface along its normal:
// far enough that the texels the filter reads around it cannot hold this
// same surface in front of it, the more so the more the surface turns from
// the light. Creases, where a neighbouring face's depth is what the map
// holds, need it most.
const float kNormalOffsetTexels = 1.5;

void main()
{
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    mapCoord = gl_MultiTexCoord0.st;
    tileCoord1 = gl_MultiTexCoord1.st;
    tileCoord2 = gl_MultiTexCoord2.st;
    tileCoord3 = gl_MultiTexCoord3.st;
    vec3 toLight = lightPosition - gl_Vertex.xyz;
    float distance = length(toLight);
    float facing = clamp(dot(gl_Normal, toLight) / max(distance, 1e-6), 0.0, 1.0);
    float offset = kNormalOffsetTexels * texelPerDepth * distance * sqrt(1.0 - facing * facing);
    shadowCoord = gl_TextureMatrix[7] * vec4(gl_Vertex.xyz + gl_Normal * offset, 1.0);
}
