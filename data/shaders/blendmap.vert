#version 330
// The terrain bake covers its whole target with one quad (4-vertex strip from the vertex index).

const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));

out vec2 texCoord;

void main()
{
    vec2 corner = corners[gl_VertexID];
    texCoord = corner * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
