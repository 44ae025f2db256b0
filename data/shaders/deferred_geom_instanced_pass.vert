#version 330
// Instance-buffer meshes (grass, trees, decals) into the geometry buffer: one model matrix and
// atlas offset per instance.

in vec3 pos;
in vec3 nrm;
in vec2 uv;
in vec3 tan;
in mat4 affineMat;
in vec2 textureOffset;

uniform float numberOfRows;
uniform mat4 projMat;
uniform mat4 viewMat;
// Foliage lit as if it faced the sky, so thin cards do not go dark edge-on.
uniform int enableFakeLighting;

out vec3 viewPosition;
out vec3 viewNormal;
out vec3 viewTangent;
out vec2 texCoord;
// 1: the buffer's tint multiplies the colour
flat out int tintMode;

void main()
{
    mat4 modelView = viewMat * affineMat;
    vec4 position = modelView * vec4(pos, 1.0);
    vec3 normal = enableFakeLighting != 0 ? vec3(0.0, 1.0, 0.0) : nrm;
    // Instance scales are uniform, so the model-view's 3 x 3 turns normals correctly once
    // they are normalised again.
    viewPosition = position.xyz;
    viewNormal = mat3(modelView) * normal;
    viewTangent = mat3(modelView) * tan;
    // An atlas of numberOfRows x numberOfRows cells; the offset picks one.
    texCoord = uv / numberOfRows + textureOffset;
    tintMode = 1;
    gl_Position = projMat * position;
}
