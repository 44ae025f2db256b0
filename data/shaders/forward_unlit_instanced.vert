#version 330
// One record of an instance buffer, unlit: the model matrix and atlas offset come per instance.

uniform mat4 projViewMat;
uniform float numberOfRows;

in vec3 pos;
in vec2 uv;
in mat4 affineMat;
in vec2 textureOffset;

out vec2 texCoord;

void main()
{
    texCoord = uv / numberOfRows + textureOffset;
    gl_Position = projViewMat * affineMat * vec4(pos, 1.0);
}
