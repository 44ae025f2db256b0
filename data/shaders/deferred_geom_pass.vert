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
// view x rotation of the instance; its upper 3 x 3 turns normals into view space
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

void main()
{
    vec4 position = vec4(pos, 1.0);
    vec3 normal = nrm;
    vec3 tangent = tan;
    // The bone inputs are disabled for meshes without a pose: read them only when posed.
    if (hasBones != 0) {
        mat4 skin = SkinMatrix();
        position = skin * position;
        normal = mat3(skin) * normal;
        tangent = mat3(skin) * tangent;
    }
    viewPosition = (viewMat * position).xyz;
    viewNormal = mat3(normalMat) * normal;
    viewTangent = mat3(normalMat) * tangent;
    texCoord = uv * textureMultiplier;
    tintMode = 0;
    gl_Position = mvpMat * position;
}
