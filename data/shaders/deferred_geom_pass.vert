#version 330
// Model instances into the geometry buffer: the vertex in view space with its tangent frame,
// tiled texture coordinates and, for a posed model, the vertex skinned by up to four bones.

// The same constant as GeometryPrograms::kMaxBones on the C++ side.
const int MAX_BONES = 128;

in vec3 pos;
in vec3 nrm;
in vec2 uv;
in vec3 tan;
in vec4 boneWeights;
in ivec4 boneIDs;

uniform mat4 mvpMat;
// view x model
uniform mat4 viewMat;
// inverse transpose of view x model (up to a positive factor); its upper 3 x 3 turns normals
// into view space, so a stretched instance's normals still stand square on its surface
uniform mat4 normalMat;
uniform vec2 textureMultiplier;
uniform mat4 bones[MAX_BONES];
uniform int hasBones;

out vec3 viewPosition;
out vec3 viewNormal;
out vec3 viewTangent;
out vec2 texCoord;
// 0: the tint mixes toward its colour by its strength (model instances)
flat out int tintMode;

mat4 SkinMatrix()
{
    ivec4 ids = clamp(boneIDs, ivec4(0), ivec4(MAX_BONES - 1));
    mat4 skin = bones[ids.x] * boneWeights.x + bones[ids.y] * boneWeights.y +
                bones[ids.z] * boneWeights.z + bones[ids.w] * boneWeights.w;
    // A vertex no bone holds stays where the bind pose put it.
    float total = boneWeights.x + boneWeights.y + boneWeights.z + boneWeights.w;
    return total > 0.0001 ? skin : mat4(1.0);
}

// How normals turn under the surface transform m: m's inverse transpose up to a positive factor,
// its columns the cofactors of m. A skin pose may stretch as well as turn; tangents lie in the
// surface and turn with m itself.
mat3 NormalTransform(mat3 m)
{
    mat3 cofactors = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    // A mirroring m would turn the normals inward.
    return dot(m[0], cofactors[0]) < 0.0 ? -cofactors : cofactors;
}

// Unit length, so a stretch does not weigh one vertex over another when the rasteriser blends
// them; a missing (zero) vector stays zero.
vec3 Direction(vec3 v)
{
    float size = length(v);
    return size > 0.0 ? v / size : v;
}

void main()
{
    vec4 position = vec4(pos, 1.0);
    vec3 normal = nrm;
    vec3 tangent = tan;
    // The bone inputs are disabled for meshes without a pose: read them only when posed.
    if (hasBones != 0) {
        mat4 skin = SkinMatrix();
        position = skin * position;
        normal = NormalTransform(mat3(skin)) * normal;
        tangent = mat3(skin) * tangent;
    }
    viewPosition = (viewMat * position).xyz;
    viewNormal = Direction(mat3(normalMat) * normal);
    viewTangent = Direction(mat3(viewMat) * tangent);
    texCoord = uv * textureMultiplier;
    tintMode = 0;
    gl_Position = mvpMat * position;
}
