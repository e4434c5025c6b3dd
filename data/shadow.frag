// Terrain with shadows: the standard ground blend, darkened where the light's
// depth map holds something nearer to the light than this point.
#version 110

uniform sampler2D tex0;      // distribution map, unit 0 (never set: stays 0)
uniform sampler2D tex1;      // sand
uniform sampler2D tex2;      // grass
uniform sampler2D tex3;      // snow
uniform sampler2D tex4;      // unit 4, nothing bound; reserved
uniform sampler2D shadowTex; // stored light-space depths, unit 7

varying vec2 mapCoord;
varying vec2 tileCoord1;
varying vec2 tileCoord2;
varying vec2 tileCoord3;
varying vec4 shadowCoord;

const float kShadowBrightness = 0.55;
const float kTexel = 1.0 / 1024.0;
const float kConstantBias = 0.00004;
const float kMaxBias = 0.01;
const float kMinFacing = 0.05; // sine of the smallest angle to the light rays that gets shadows

// 1.0 when lit, kShadowBrightness when something nearer to the light covers
// this point. Points behind the light or outside its map count as lit.
float lightFactor()
{
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    // Derivatives first, where every fragment of the quad still runs.
    vec3 dx = dFdx(p);
    vec3 dy = dFdy(p);
    if (shadowCoord.w <= 0.0)
        return 1.0;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z > 1.0)
        return 1.0;

    // A real pass clears to 1 and clips everything nearer than its near
    // plane, so a stored 0 means no map was rendered (no framebuffer
    // support, shadows switched on again by hand): everything counts as lit.
    float stored = texture2D(shadowTex, p.xy).r;
    if (stored <= 0.0)
        return 1.0;
    // In front of the stored depth even with the smallest bias: lit, without
    // working out the bias this surface needs (most of the ground).
    if (p.z - kConstantBias <= stored)
        return 1.0;

    float det = dx.x * dy.y - dx.y * dy.x;

    // Visible terrain faces the camera (back faces are culled), so the
    // winding of its footprint in the light's map tells whether it also
    // faces the light. Faces turned away or seen edge-on are already dark
    // from the vertex lighting, and the map cannot resolve them: comparing
    // there only paints streaks.
    float facing = det / max(length(dx.xy) * length(dy.xy), 1e-20);
    if (facing < kMinFacing)
        return 1.0;

    // Receiver-plane bias: how much this surface's light depth changes over
    // one shadow-map texel. Ground at a grazing angle to the light needs more
    // than ground facing it; a constant alone either leaves acne stripes on
    // flat ground or detaches shadows from their casters.
    float slopeBias = kMaxBias;
    if (abs(det) > 1e-12) {
        float gx = (dy.y * dx.z - dx.y * dy.z) / det;
        float gy = (dx.x * dy.z - dy.x * dx.z) / det;
        slopeBias = (abs(gx) + abs(gy)) * kTexel * 1.5;
    }
    float bias = kConstantBias + min(slopeBias, kMaxBias);
    return p.z - bias > stored ? kShadowBrightness : 1.0;
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
