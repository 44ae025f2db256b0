#version 330
// The SSAO pass: a full-screen quad made from the vertex index (a strip of four, no vertex data).

uniform vec3 samples[64];
// Occluders whose direction leans closer to the surface than this (cosine) are ignored.
uniform float dotAllowance;

out vec2 texCoord;
// Bit i is set when kernel vector i leans at least the allowance away from the surface. The
// test is the same for every pixel of a frame, so it is made once per corner here rather than
// once per sample in the fragment stage. It reads the uniform, not literals: a length() the
// compiler folds may round one step apart from one computed while drawing, which flips the test
// when the allowance is a vector's cosine to the last digit.
flat out uvec2 facingSamples;

void main()
{
    uvec2 facing = uvec2(0u);
    for (int i = 0; i < 64; ++i) {
        // The kernel's turn onto the surface keeps its angle to the normal: z over length is
        // the cosine.
        vec3 k = samples[i];
        if (k.z >= dotAllowance * length(k))
            facing[i >> 5] |= 1u << uint(i & 31);
    }
    facingSamples = facing;
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    texCoord = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
