#version 330
// One model instance, unlit: position and tiled texture coordinates.

uniform mat4 mvpMat;
uniform vec2 textureMultiplier;

in vec3 pos;
in vec2 uv;

out vec2 texCoord;

void main()
{
    texCoord = uv * textureMultiplier;
    gl_Position = mvpMat * vec4(pos, 1.0);
}
