#version 330
// One sprite quad as a 4-vertex strip; the corners come from the vertex index.

uniform mat4 mvp;
uniform float numberOfRows;
uniform vec2 textureOffset;

out vec2 texCoord;

const vec2 corners[4] = vec2[4](vec2(-0.5, -0.5), vec2(0.5, -0.5), vec2(-0.5, 0.5), vec2(0.5, 0.5));

void main()
{
    vec2 corner = corners[gl_VertexID];
    // Sheets hold numberOfRows x numberOfRows frames; the offset picks one.
    texCoord = (corner + 0.5) / numberOfRows + textureOffset;
    vec4 position = mvp * vec4(corner, 0.0, 1.0);
    // The 2D pass draws without depth: keep every sprite inside the clip volume whatever near
    // and far planes the projection was made with.
    position.z = 0.0;
    gl_Position = position;
}
