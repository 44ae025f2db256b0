#version 330
// Instance-buffer meshes into the sun's depth map.

in vec3 pos;
in mat4 affineMat;

uniform mat4 lightVP;

void main()
{
    gl_Position = lightVP * affineMat * vec4(pos, 1.0);
}
