#version 330
// Averages the occlusion over the 4 x 4 cell of the noise pattern, so the kernel's per-pixel
// turn disappears.

in vec2 texCoord;

uniform sampler2D ssaoInput;

out float fragColor;

void main()
{
    // The input has this target's size, so each tap is a whole texel: fetched directly, without
    // the sampler's filtering, and wrapped round the edges as its repeating sampler would.
    ivec2 size = textureSize(ssaoInput, 0);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    float sum = 0.0;
    for (int y = -2; y < 2; ++y) {
        for (int x = -2; x < 2; ++x)
            sum += texelFetch(ssaoInput, (pixel + ivec2(x, y) + size) % size, 0).r;
    }
    fragColor = sum / 16.0;
}
