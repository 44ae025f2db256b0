#version 330
// The final picture's full-screen quad, made from the vertex index (4-vertex strip).

const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));

uniform mat4 pvMat;

out vec2 texCoord;

void main()
{
    vec2 corner = corners[gl_VertexID];
    texCoord = corner * 0.5 + 0.5;
    gl_Position = pvMat * vec4(corner, 0.0, 1.0);
}
