#version 330
// Screen-space ambient occlusion: how much of the hemisphere above each surface point is closed
// off by nearby geometry, from the G-buffer's view-space positions and normals and the scene
// depth. 1 is open; the light pass scales its ambient term by it.
//
// The software rasteriser runs this for every pixel, 64 samples each, so the samples are kept
// lean: the kernel's turn, the radius and the projection are folded into one matrix per pixel;
// the kernel vectors are literals (KERNEL_SAMPLES, put in front of this file when the program is
// built) read at constant indices, so each sample's arithmetic has its vector as constants; which
// vectors face far enough from the surface comes once per draw from the vertex stage; and pixels
// with nothing to occlude are discarded (the target is cleared to open beforehand), so blocks of
// sky never run the samples at all.

in vec2 texCoord;

uniform sampler2D depthMap;
uniform sampler2D normalMap;
uniform sampler2D posMap;
uniform sampler2D noiseMap;
// Bit i: kernel vector i may occlude (see ssao.vert).
flat in uvec2 facingSamples;
uniform mat4 projMat;
// Noise texels per screen: the 4 x 4 noise repeats over the whole target.
uniform vec2 noiseVec;
uniform float nearPlane;
uniform float farPlane;
uniform float radius;
uniform float strength;

out float fragColor;

// Keeps a flat surface from shadowing itself through depth-buffer rounding.
const float DEPTH_BIAS = 0.025;

// What one kernel vector adds to the occlusion of the pixel.
float Occluder(int i, vec3 position, vec4 centreClip, mat3x4 kernelToClip, vec3 kernelToViewZ, float nearFar,
               float farMinusNear)
{
    vec3 k = KERNEL_SAMPLES[i];
    vec4 clip = centreClip + kernelToClip * k;
    float sampleZ = position.z + dot(kernelToViewZ, k);
    vec2 sampleUv = clip.xy / clip.w * 0.5 + 0.5;
    float sceneZ = -nearFar / (farPlane - texture(depthMap, sampleUv).r * farMinusNear);
    // Geometry far in front of the point (a pillar before a wall) does not darken it.
    float inRange = smoothstep(0.0, 1.0, radius / max(abs(position.z - sceneZ), 1e-4));
    bool facing = (facingSamples[i >> 5] & (1u << uint(i & 31))) != 0u;
    return facing && sceneZ >= sampleZ + DEPTH_BIAS ? inRange : 0.0;
}

void main()
{
    // The pixel's own G-buffer texels, read whole: no filtering can apply at the pixel centre.
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    // Sky: nothing to occlude.
    if (texelFetch(depthMap, pixel, 0).r >= 1.0)
        discard;
    vec3 normal = texelFetch(normalMap, pixel, 0).xyz;
    if (dot(normal, normal) < 1e-8)
        discard;
    vec3 position = texelFetch(posMap, pixel, 0).xyz;
    normal = normalize(normal);

    // A per-pixel turn of the kernel about the normal trades banding for noise the blur removes.
    vec3 turn = vec3(texture(noiseMap, texCoord * noiseVec).xy, 0.0);
    vec3 tangent = turn - normal * dot(turn, normal);
    if (dot(tangent, tangent) < 1e-8)
        tangent = abs(normal.x) < 0.9 ? cross(normal, vec3(1.0, 0.0, 0.0)) : cross(normal, vec3(0.0, 1.0, 0.0));
    tangent = normalize(tangent);
    mat3 kernelToView = mat3(tangent, cross(normal, tangent), normal) * radius;

    // A kernel vector k lands at clip = centreClip + kernelToClip * k, at view depth
    // position.z + dot(kernelToViewZ, k).
    vec4 centreClip = projMat * vec4(position, 1.0);
    mat3x4 kernelToClip = mat3x4(projMat[0], projMat[1], projMat[2]) * kernelToView;
    vec3 kernelToViewZ = vec3(kernelToView[0].z, kernelToView[1].z, kernelToView[2].z);
    // The scene depth of a sample turned into a view-space z: -near * far / (far - depth * (far - near)).
    float nearFar = nearPlane * farPlane;
    float farMinusNear = farPlane - nearPlane;

    float occlusion = 0.0;
    // Written out, not looped: a loop this long is not unrolled, and its index would turn every
    // kernel read back into a memory access. Added in kernel order, one at a time.
#define SAMPLE(i) occlusion += Occluder(i, position, centreClip, kernelToClip, kernelToViewZ, nearFar, farMinusNear);
#define EIGHT_SAMPLES(i) SAMPLE(i) SAMPLE(i + 1) SAMPLE(i + 2) SAMPLE(i + 3) SAMPLE(i + 4) SAMPLE(i + 5) SAMPLE(i + 6) SAMPLE(i + 7)
    EIGHT_SAMPLES(0) EIGHT_SAMPLES(8) EIGHT_SAMPLES(16) EIGHT_SAMPLES(24)
    EIGHT_SAMPLES(32) EIGHT_SAMPLES(40) EIGHT_SAMPLES(48) EIGHT_SAMPLES(56)
#undef EIGHT_SAMPLES
#undef SAMPLE
    fragColor = pow(clamp(1.0 - occlusion / 64.0, 0.0, 1.0), strength);
}
