#version 330
// Motion-blur reconstruction: gathers S samples along the neighbourhood's dominant velocity and
// weighs each by whether it is in front of or behind this pixel and whether its own motion
// reaches here, so fast foreground smears over the background and not the other way round.

uniform sampler2D sceneTexture;
uniform sampler2D depthTexture;
uniform sampler2D velocityTexture;
uniform sampler2D neighbourMaxTexture;
uniform sampler2D sceneNormalTexture;
// Pixels per neighbour-max tile (also the longest blur).
uniform int K;
// Samples per pixel.
uniform int S;

out vec4 fragColor;

const float NEAR = 0.5;
const int MAX_SAMPLES = 15;
const float FAR = 1000.0;

float ViewDistance(float depth)
{
    float ndc = depth * 2.0 - 1.0;
    return 2.0 * NEAR * FAR / (FAR + NEAR - ndc * (FAR - NEAR));
}

float Cone(float distance, float speed)
{
    return clamp(1.0 - distance / speed, 0.0, 1.0);
}

float Cylinder(float distance, float speed)
{
    return 1.0 - smoothstep(0.95 * speed, 1.05 * speed, distance);
}

void main()
{
    ivec2 size = textureSize(sceneTexture, 0);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec2 uv = (vec2(pixel) + 0.5) / vec2(size);
    // At its own pixel's centre a filtered read gives the texel itself: fetched whole.
    vec4 colour = texelFetch(sceneTexture, pixel, 0);

    // The other inputs are nearest-filtered: a read at a texel's centre gives that texel exactly,
    // and on the software rasteriser it costs less than a texelFetch, which checks every lane's
    // bounds.
    ivec2 tiles = textureSize(neighbourMaxTexture, 0);
    vec2 tileCentre = (vec2(min(pixel / K, tiles - 1)) + 0.5) / vec2(tiles);
    vec2 dominant = texture(neighbourMaxTexture, tileCentre).xy;
    float dominantSpeed = length(dominant);
    // Nothing around here moves by as much as half a pixel: the image stays sharp.
    if (dominantSpeed <= 0.5) {
        fragColor = colour;
        return;
    }

    float speedX = max(length(texture(velocityTexture, uv).xy), 0.5);
    float zx = ViewDistance(texture(depthTexture, uv).r);
    // A surface seen edge-on changes depth fast from pixel to pixel; give it more slack before
    // its own neighbours count as another surface.
    vec3 normal = texture(sceneNormalTexture, uv).xyz;
    float facing = dot(normal, normal) > 1e-8 ? abs(normalize(normal).z) : 1.0;
    float extent = max(zx * mix(0.1, 0.02, facing), 0.05);

    float weight = 1.0 / speedX;
    vec4 sum = colour * weight;
    // Jitter the sample positions per pixel so the steps between samples do not show.
    float jitter = fract(sin(dot(vec2(pixel), vec2(12.9898, 78.233))) * 43758.5453) - 0.5;
    // Per-sample divisions by this pixel's own values are made multiplications: a CPU rasteriser
    // pays for every division on every sample.
    float inverseExtent = 1.0 / extent;
    float inverseSpeedX = weight;
    float cylinderStartX = 0.95 * speedX;
    float inverseCylinderWidthX = 1.0 / (0.1 * speedX);
    vec2 step = dominant / vec2(size);
    float spacing = 1.0 / float(S + 1);
    int centre = (S - 1) / 2;
    // The renderer always asks for MAX_SAMPLES; the constant bound lets the loop unroll.
    for (int i = 0; i < MAX_SAMPLES; ++i) {
        if (i >= S)
            break;
        if (i == centre)
            continue;
        float t = mix(-1.0, 1.0, (float(i) + jitter + 1.0) * spacing);
        float distance = abs(t) * dominantSpeed;
        vec2 sampleUv = uv + step * t;
        float zy = ViewDistance(texture(depthTexture, sampleUv).r);
        float speedY = max(length(texture(velocityTexture, sampleUv).xy), 0.5);
        float front = clamp(1.0 - (zy - zx) * inverseExtent, 0.0, 1.0);
        float back = clamp(1.0 - (zx - zy) * inverseExtent, 0.0, 1.0);
        float coneX = clamp(1.0 - distance * inverseSpeedX, 0.0, 1.0);
        float rampX = clamp((distance - cylinderStartX) * inverseCylinderWidthX, 0.0, 1.0);
        float cylinderX = 1.0 - rampX * rampX * (3.0 - 2.0 * rampX);
        float alpha = front * Cone(distance, speedY) + back * coneX + Cylinder(distance, speedY) * cylinderX * 2.0;
        sum += texture(sceneTexture, sampleUv) * alpha;
        weight += alpha;
    }
    fragColor = sum / weight;
}
