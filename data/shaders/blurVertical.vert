#version 330
// Vertical half of the separable blur: a full-screen quad whose eleven taps sit one texel of the
// target apart, so the fragment program only weighs them.

uniform float targetHeight;

out vec2 blurCoords[11];

void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
    float texel = 1.0 / targetHeight;
    for (int i = 0; i < 11; ++i)
        blurCoords[i] = corner + vec2(0.0, texel * float(i - 5));
}
