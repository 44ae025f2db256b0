#version 330
// Averages the occlusion over the 4 x 4 cell of the noise pattern, so the kernel's per-pixel
// turn disappears.

in vec2 texCoord;

uniform sampler2D ssaoInput;

out float fragColor;

void main()
{
    // The input has this target's size, so each tap is a whole texel: fetched directly, without
    // the sampler's filtering, and wrapped round the edges as its repeating sampler would. The
    // taps reach at most two texels off, so one add or subtract wraps them (a remainder per tap
    // is costly on a CPU rasteriser).
    ivec2 size = textureSize(ssaoInput, 0);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    float sum = 0.0;
    for (int y = -2; y < 2; ++y) {
        int row = pixel.y + y;
        row += row < 0 ? size.y : (row >= size.y ? -size.y : 0);
        for (int x = -2; x < 2; ++x) {
            int column = pixel.x + x;
            column += column < 0 ? size.x : (column >= size.x ? -size.x : 0);
            sum += texelFetch(ssaoInput, ivec2(column, row), 0).r;
        }
    }
    fragColor = sum / 16.0;
}
