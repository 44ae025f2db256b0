#version 330
// The longest tile velocity among each tile and its eight neighbours: a pixel can be smeared by
// motion that starts up to one tile away.

uniform sampler2D tileMaxTexture;

out vec4 neighbourMax;

void main()
{
    ivec2 last = textureSize(tileMaxTexture, 0) - 1;
    ivec2 tile = ivec2(gl_FragCoord.xy);
    vec2 longest = vec2(0.0);
    float longestSquared = 0.0;
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            vec2 v = texelFetch(tileMaxTexture, clamp(tile + ivec2(x, y), ivec2(0), last), 0).xy;
            float squared = dot(v, v);
            if (squared > longestSquared) {
                longest = v;
                longestSquared = squared;
            }
        }
    }
    neighbourMax = vec4(longest, 0.0, 1.0);
}
