#version 330
// Screen-space ambient occlusion: how much of the hemisphere above each surface point is closed
// off by nearby geometry, from the G-buffer's view-space positions and normals and the scene
// depth. 1 is open; the light pass scales its ambient term by it.

in vec2 texCoord;

uniform sampler2D depthMap;
uniform sampler2D normalMap;
uniform sampler2D posMap;
uniform sampler2D noiseMap;
uniform vec3 samples[64];
uniform mat4 projMat;
// Noise texels per screen: the 4 x 4 noise repeats over the whole target.
uniform vec2 noiseVec;
uniform float nearPlane;
uniform float farPlane;
uniform float radius;
uniform float strength;
// Occluders whose direction leans closer to the surface than this (cosine) are ignored.
uniform float dotAllowance;

out float fragColor;

// Keeps a flat surface from shadowing itself through depth-buffer rounding.
const float DEPTH_BIAS = 0.025;

float ViewDistance(float depth)
{
    float ndc = depth * 2.0 - 1.0;
    return 2.0 * nearPlane * farPlane / (farPlane + nearPlane - ndc * (farPlane - nearPlane));
}

void main()
{
    // Sky: nothing to occlude.
    if (texture(depthMap, texCoord).r >= 1.0) {
        fragColor = 1.0;
        return;
    }
    vec3 position = texture(posMap, texCoord).xyz;
    vec3 normal = texture(normalMap, texCoord).xyz;
    if (dot(normal, normal) < 1e-8) {
        fragColor = 1.0;
        return;
    }
    normal = normalize(normal);

    // A per-pixel turn of the kernel about the normal trades banding for noise the blur removes.
    vec3 turn = vec3(texture(noiseMap, texCoord * noiseVec).xy, 0.0);
    vec3 tangent = turn - normal * dot(turn, normal);
    if (dot(tangent, tangent) < 1e-8)
        tangent = abs(normal.x) < 0.9 ? cross(normal, vec3(1.0, 0.0, 0.0)) : cross(normal, vec3(0.0, 1.0, 0.0));
    tangent = normalize(tangent);
    mat3 tbn = mat3(tangent, cross(normal, tangent), normal);

    float occlusion = 0.0;
    for (int i = 0; i < 64; ++i) {
        vec3 offset = tbn * samples[i];
        vec3 samplePosition = position + offset * radius;
        vec4 clip = projMat * vec4(samplePosition, 1.0);
        vec2 sampleUv = clip.xy / clip.w * 0.5 + 0.5;
        float sceneZ = -ViewDistance(texture(depthMap, sampleUv).r);
        // Geometry far in front of the point (a pillar before a wall) does not darken it.
        float inRange = smoothstep(0.0, 1.0, radius / max(abs(position.z - sceneZ), 1e-4));
        bool facing = dot(normal, normalize(offset)) >= dotAllowance;
        if (facing && sceneZ >= samplePosition.z + DEPTH_BIAS)
            occlusion += inRange;
    }
    fragColor = pow(clamp(1.0 - occlusion / 64.0, 0.0, 1.0), strength);
}
