#version 330
// Lights every pixel of the geometry buffer: ambient, the sun with its shadow map, up to 52
// point lights (SSAO scales their diffuse light), then tint and fog. Writes the lit colour and,
// for bloom, its part above the threshold. Pixels without geometry (depth 1) are discarded so
// the sky box drawn before stays.

// The same constant as PointLightArrays::kMaxPointLights.
const int MAX_POINT_LIGHTS = 52;
const float AMBIENT = 0.2;
const float SPECULAR_POWER = 32.0;

in vec2 texCoord;

uniform sampler2D depthMap;
uniform sampler2D positionsMap;
uniform sampler2D normalsMap;
uniform sampler2D materialsMap;
uniform sampler2D ambientMap;
uniform sampler2D tintMap;
uniform sampler2D shadowMap;

// Direction the sunlight travels, view space.
uniform vec3 lightDir;
uniform vec3 lightIntensity;
uniform int bloomEnabled;
uniform int ssaoEnabled;
// Luminance weights: a colour whose weighted sum passes 1 feeds bloom.
uniform vec3 bloomThreshold;
uniform mat4 inverseViewMat;
uniform int enableFog;
uniform vec3 fogColor;
uniform float fogGradient;
uniform float fogDensity;
// xyz view-space position, w radius
uniform vec4 pointLights[MAX_POINT_LIGHTS];
// rgb colour, w intensity
uniform vec4 pointLightsColor[MAX_POINT_LIGHTS];
uniform int numPointLights;
uniform int enableDirectionalLight;
uniform int shadowsEnabled;
uniform mat4 dLightVP;

out vec4 fragOut;
out vec4 brightOut;

// 1 lit, 0 in shadow; 3 x 3 samples soften the edge.
float SunVisibility(vec3 viewPosition, vec3 normal, vec3 toLight)
{
    vec3 worldPosition = (inverseViewMat * vec4(viewPosition, 1.0)).xyz;
    vec3 worldNormal = normalize(mat3(inverseViewMat) * normal);
    // Pushing the point off its surface keeps the surface from shadowing itself.
    vec4 lightClip = dLightVP * vec4(worldPosition + worldNormal * 0.03, 1.0);
    vec3 coord = lightClip.xyz / lightClip.w * 0.5 + 0.5;
    if (coord.z >= 1.0 || any(lessThan(coord.xy, vec2(0.0))) || any(greaterThan(coord.xy, vec2(1.0))))
        return 1.0;
    float bias = 0.00002 + 0.0001 * (1.0 - clamp(dot(normal, toLight), 0.0, 1.0));
    // The map's texels are read whole: it is sampled nearest, and each tap reads at the centre
    // of its texel, which on the software rasteriser costs less than a texelFetch with its
    // bounds checks. A tap beyond the map's edge reads the border, which is as far as depth
    // goes: lit.
    vec2 texels = vec2(textureSize(shadowMap, 0));
    vec2 texel = 1.0 / texels;
    float lit = 0.0;
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            vec2 tap = floor((coord.xy + vec2(x, y) * texel) * texels);
            float nearest = texture(shadowMap, (tap + 0.5) * texel).r;
            lit += coord.z - bias > nearest ? 0.0 : 1.0;
        }
    }
    return lit / 9.0;
}

void main()
{
    // Every input has the window's size: the pixel's own texels are read whole, unfiltered.
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    if (texelFetch(depthMap, pixel, 0).r >= 1.0)
        discard;

    vec4 positionData = texelFetch(positionsMap, pixel, 0);
    vec3 position = positionData.xyz;
    float effects = positionData.w;
    vec3 normal = normalize(texelFetch(normalsMap, pixel, 0).xyz);
    vec4 material = texelFetch(materialsMap, pixel, 0);
    vec3 albedo = material.rgb;
    float specularStrength = material.a;
    vec4 tint = texelFetch(tintMap, pixel, 0);
    vec3 toEye = normalize(-position);

    // Surfaces left out of the screen effects get no occlusion and no fog.
    float occlusion = 1.0;
    if (ssaoEnabled != 0)
        occlusion = mix(1.0, texelFetch(ambientMap, pixel, 0).r, effects);

    vec3 diffuseLight = vec3(AMBIENT);
    vec3 specularLight = vec3(0.0);

    if (enableDirectionalLight != 0) {
        vec3 toLight = normalize(-lightDir);
        float facing = max(dot(normal, toLight), 0.0);
        float visibility = 1.0;
        if (shadowsEnabled != 0 && facing > 0.0)
            visibility = SunVisibility(position, normal, toLight);
        vec3 halfway = normalize(toLight + toEye);
        float highlight = facing > 0.0 ? pow(max(dot(normal, halfway), 0.0), SPECULAR_POWER) : 0.0;
        diffuseLight += lightIntensity * ((1.0 - AMBIENT) * facing * visibility);
        specularLight += lightIntensity * (highlight * specularStrength * visibility);
    }

    for (int i = 0; i < numPointLights && i < MAX_POINT_LIGHTS; ++i) {
        vec3 offset = pointLights[i].xyz - position;
        float distance = length(offset);
        float radius = max(pointLights[i].w, 0.0001);
        if (distance >= radius)
            continue;
        vec3 toLight = offset / max(distance, 0.0001);
        float falloff = 1.0 - distance / radius;
        float strength = falloff * falloff * pointLightsColor[i].w;
        float facing = max(dot(normal, toLight), 0.0);
        vec3 halfway = normalize(toLight + toEye);
        float highlight = facing > 0.0 ? pow(max(dot(normal, halfway), 0.0), SPECULAR_POWER) : 0.0;
        diffuseLight += pointLightsColor[i].rgb * (facing * strength);
        specularLight += pointLightsColor[i].rgb * (highlight * specularStrength * strength);
    }

    // The occlusion scales all diffuse light, the sun's and the point lights' with the ambient:
    // the sun carries most of the light in the open, and an occlusion of the ambient alone all
    // but vanished there (a sunlit crease at 0.5 occlusion lost a tenth of its light, not half).
    // Our lights have no size and the shadow map misses contact detail, so the occlusion stands
    // in for the light a crease hides. Highlights stay: they mirror the light toward the eye,
    // which the occlusion estimate of the surrounding hemisphere does not describe.
    diffuseLight *= occlusion;
    vec3 color = albedo * diffuseLight + specularLight;
    // The lit colour gives way to the tint colour by its strength, lit or not: a hit flash is
    // white even in the dark, a fade to black reaches black.
    color = mix(color, tint.rgb, tint.a);

    if (enableFog != 0 && effects > 0.5) {
        float visibility = clamp(exp(-pow(length(position) * fogDensity, fogGradient)), 0.0, 1.0);
        color = mix(fogColor, color, visibility);
    }

    fragOut = vec4(color, 1.0);
    float brightness = dot(color, bloomThreshold);
    brightOut = (bloomEnabled != 0 && brightness > 1.0) ? vec4(color, 1.0) : vec4(0.0, 0.0, 0.0, 1.0);
}
