#version 330
// The SSAO smoothing pass: a full-screen quad made from the vertex index (a strip of four, no vertex data).

out vec2 texCoord;

void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    texCoord = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
