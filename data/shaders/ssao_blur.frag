#version 330
// Averages the occlusion over the 4 x 4 cell of the noise pattern, so the kernel's per-pixel
// turn disappears.

in vec2 texCoord;

uniform sampler2D ssaoInput;

out float fragColor;

void main()
{
    // The input has this target's size and a nearest, repeating sampler: a coordinate at a texel's
    // centre reads that texel whole and wraps round the edges. The sampler does this cheaper than
    // texelFetch, whose wrapping would have to be done here.
    vec2 texelSize = 1.0 / vec2(textureSize(ssaoInput, 0));
    float sum = 0.0;
    for (int y = -2; y < 2; ++y) {
        for (int x = -2; x < 2; ++x)
            sum += texture(ssaoInput, (gl_FragCoord.xy + vec2(x, y)) * texelSize).r;
    }
    fragColor = sum / 16.0;
}
