#version 330
// The longest velocity of each tile of tileSize x tileSize pixels.

uniform sampler2D velocityTexture;
uniform int tileSize;

out vec4 tileMax;

void main()
{
    ivec2 last = textureSize(velocityTexture, 0) - 1;
    // The velocity is nearest-filtered: a read at a texel's centre gives that texel exactly, and on
    // the software rasteriser it costs less than a texelFetch, which checks every lane's bounds.
    vec2 texelSize = 1.0 / vec2(last + 1);
    ivec2 origin = ivec2(gl_FragCoord.xy) * tileSize;
    vec2 longest = vec2(0.0);
    float longestSquared = 0.0;
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            vec2 v = texture(velocityTexture, (vec2(min(origin + ivec2(x, y), last)) + 0.5) * texelSize).xy;
            float squared = dot(v, v);
            if (squared > longestSquared) {
                longest = v;
                longestSquared = squared;
            }
        }
    }
    tileMax = vec4(longest, 0.0, 1.0);
}
