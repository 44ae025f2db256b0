#version 330
// One glyph quad: (x, y) in window pixels from the bottom-left corner, (u, v) into its bitmap.

layout(location = 0) in vec4 vertex;

uniform mat4 projection;

out vec2 texCoord;

void main()
{
    gl_Position = projection * vec4(vertex.xy, 0.0, 1.0);
    texCoord = vertex.zw;
}
