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

// How normals turn under the surface transform m: m's inverse transpose up to a positive factor,
// its columns the cofactors of m. Tangents lie in the surface and turn with m itself.
mat3 NormalTransform(mat3 m)
{
    mat3 cofactors = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    // A mirroring m would turn the normals inward.
    return dot(m[0], cofactors[0]) < 0.0 ? -cofactors : cofactors;
}

// Unit length, so the instance's scale does not weigh one vertex over another when the
// rasteriser blends them; a missing (zero) vector stays zero.
vec3 Direction(vec3 v)
{
    float size = length(v);
    return size > 0.0 ? v / size : v;
}

void main()
{
    mat4 modelView = viewMat * affineMat;
    vec4 position = modelView * vec4(pos, 1.0);
    vec3 normal = enableFakeLighting != 0 ? vec3(0.0, 1.0, 0.0) : nrm;
    // The buffers take one scale per instance, but a basis given to them need not be orthonormal:
    // normals turn as model instances' do, by the inverse transpose.
    viewPosition = position.xyz;
    viewNormal = Direction(NormalTransform(mat3(modelView)) * normal);
    viewTangent = Direction(mat3(modelView) * tan);
    // An atlas of numberOfRows x numberOfRows cells; the offset picks one.
    texCoord = uv / numberOfRows + textureOffset;
    tintMode = 1;
    gl_Position = projMat * position;
}
