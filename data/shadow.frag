// Terrain with shadows: the standard ground blend, darkened where the light's
// depth map holds something nearer to the light than this point.
#version 110

uniform sampler2D tex0;            // distribution map, unit 0 (never set: stays 0)
uniform sampler2D tex1;            // sand
uniform sampler2D tex2;            // grass
uniform sampler2D tex3;            // snow
uniform sampler2D tex4;            // unit 4, nothing bound; reserved
uniform sampler2DShadow shadowTex; // light-space depths, compared by the sampler, unit 7

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;
varying vec4 shadowCoord;

const float kShadowBrightness = 0.55;
// Cosine to the light below which ground fades into its own shadow (3 degrees).
const float kGrazing = 0.05;

// 1.0 when lit, kShadowBrightness when something nearer to the light covers
// this point. The sampler compares against the four nearest stored depths
// and blends the outcomes, so edges fade over one texel; the light pass
// biased its depths by their slope and the vertices moved their lookups off
// the surface. Ground outside the light's view meets the map's far border
// and counts as lit.
float lightFactor()
{
    if (shadowCoord.w <= 0.0)
        return 1.0; // behind the light
    // Ground turned away from the light gets no light whatever the map says
    // (the map sees it edge-on or not at all). The vertex lighting's
    // brightness (0.5 + 0.5 cos, see the terrain lighting) gives the angle
    // smoothly across triangles, so this shadow comes on over the last few
    // degrees before the turn, not at a triangle's edge.
    float facing = 2.0 * gl_Color.r - 1.0;
    float lit = shadow2DProj(shadowTex, shadowCoord).r * smoothstep(0.0, kGrazing, facing);
    return mix(kShadowBrightness, 1.0, lit);
}

void main()
{
    vec3 weights = texture2D(tex0, mapCoord).rgb;
    float sum = weights.r + weights.g + weights.b;
    weights = sum > 0.001 ? weights / sum : vec3(1.0 / 3.0);
    vec3 ground = texture2D(tex1, tileCoord1).rgb * weights.r
                + texture2D(tex2, tileCoord2).rgb * weights.g
                + texture2D(tex3, tileCoord3).rgb * weights.b;
    gl_FragColor = vec4(ground * gl_Color.rgb * lightFactor(), 1.0);
}
