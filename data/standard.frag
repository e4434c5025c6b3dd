// Terrain without shadows: the three ground textures blended by the
// distribution map, lit by the per-vertex colour.
#version 110

uniform sampler2D tex0; // distribution map, unit 0 (never set: stays 0)
uniform sampler2D tex1; // sand
uniform sampler2D tex2; // grass
uniform sampler2D tex3; // snow
uniform sampler2D tex4; // unit 4, nothing bound; reserved

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;

void main()
{
    vec3 weights = texture2D(tex0, mapCoord).rgb;
    float sum = weights.r + weights.g + weights.b;
    // Weights are relative: 0.3/0.3/0.3 is an even mix, not a dim one. A
    // texel painted away entirely shows the even mix too, not a black hole.
    weights = sum > 0.001 ? weights / sum : vec3(1.0 / 3.0);
    vec3 ground = texture2D(tex1, tileCoord1).rgb * weights.r
                + texture2D(tex2, tileCoord2).rgb * weights.g
                + texture2D(tex3, tileCoord3).rgb * weights.b;
    gl_FragColor = vec4(ground * gl_Color.rgb, 1.0);
}
