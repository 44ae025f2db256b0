#version 330
// Horizontal half of the separable blur: a full-screen quad whose eleven taps sit one texel of the
// target apart, so the fragment program only weighs them.

uniform float targetWidth;

out vec2 blurCoords[11];

void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
    float texel = 1.0 / targetWidth;
    for (int i = 0; i < 11; ++i)
        blurCoords[i] = corner + vec2(texel * float(i - 5), 0.0);
}
