#version 330
// Model instances into the sun's depth map, posed as the geometry pass poses them.

// The same constant as in deferred_geom_pass.vert.
const int MAX_BONES = 128;

in vec3 pos;
in vec4 boneWeights;
in ivec4 boneIDs;

uniform mat4 lightMVP;
uniform mat4 bones[MAX_BONES];
uniform int hasBones;

void main()
{
    vec4 position = vec4(pos, 1.0);
    if (hasBones != 0) {
        ivec4 ids = clamp(boneIDs, ivec4(0), ivec4(MAX_BONES - 1));
        mat4 skin = bones[ids.x] * boneWeights.x + bones[ids.y] * boneWeights.y +
                    bones[ids.z] * boneWeights.z + bones[ids.w] * boneWeights.w;
        float total = boneWeights.x + boneWeights.y + boneWeights.z + boneWeights.w;
        if (total > 0.0001)
            position = skin * position;
    }
    gl_Position = lightMVP * position;
}
