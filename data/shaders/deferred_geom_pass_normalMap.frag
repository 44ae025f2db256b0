#version 330
// Writes one surface into the geometry buffer:
//   output0  view-space position, effects mask (1 = screen effects apply, 0 = left out)
//   output1  view-space normal (normal-mapped), linear depth between near and far
//   output2  linear albedo (the texture raised to gamma), specular strength
//   output3  tint of a model instance: linear colour and strength (instance buffers: none, their
//            tint has already multiplied the albedo)

in vec3 viewPosition;
in vec3 viewNormal;
in vec3 viewTangent;
in vec2 texCoord;
flat in int tintMode;

uniform sampler2D diffuseMap;
uniform sampler2D specularMap;
uniform sampler2D normalMap;
uniform sampler2D dispMap;
uniform float gamma;
uniform float effectsMask;
uniform int enableParallaxMap;
uniform float near;
uniform float far;
uniform vec4 tint;
// Texels whose brightest channel lies below this are the picture's transparent part (0: none).
uniform float blackCutOut;

out vec4 output0;
out vec4 output1;
out vec4 output2;
out vec4 output3;

// How deep the displacement image reaches, in texture units.
const float PARALLAX_SCALE = 0.04;

void main()
{
    vec3 normal = normalize(viewNormal);
    // Meshes without tangents (lines, some imports) keep their vertex normal.
    vec3 tangent = viewTangent - normal * dot(normal, viewTangent);
    bool hasTangent = dot(tangent, tangent) > 1e-8;
    mat3 tbn = mat3(1.0);
    if (hasTangent) {
        tangent = normalize(tangent);
        tbn = mat3(tangent, cross(normal, tangent), normal);
    }

    vec2 uv = texCoord;
    if (enableParallaxMap != 0 && hasTangent) {
        vec3 toEye = normalize(transpose(tbn) * -viewPosition);
        float height = texture(dispMap, uv).r;
        uv -= toEye.xy / max(toEye.z, 0.25) * (height * PARALLAX_SCALE);
    }

    vec4 diffuse = texture(diffuseMap, uv);
    // Cut-out foliage and decals.
    if (diffuse.a < 0.5)
        discard;
    // Pictures without alpha painted on black (the portals' swirls): the black is see-through.
    if (max(diffuse.r, max(diffuse.g, diffuse.b)) < blackCutOut)
        discard;
    vec3 albedo = pow(diffuse.rgb, vec3(gamma));

    if (hasTangent) {
        vec3 mapped = texture(normalMap, uv).xyz * 2.0 - 1.0;
        normal = normalize(tbn * mapped);
    }

    vec4 tintOut = vec4(0.0);
    // Tints are colours as the texture's are: linearised alike, so a tint of 0.5 on an instance
    // buffer looks as a texture painted at 0.5 would.
    if (tintMode == 1)
        albedo *= pow(max(tint.rgb, vec3(0.0)), vec3(gamma));
    else
        tintOut = vec4(pow(max(tint.rgb, vec3(0.0)), vec3(gamma)), clamp(tint.a, 0.0, 1.0));

    float linearDepth = (-viewPosition.z - near) / (far - near);
    output0 = vec4(viewPosition, effectsMask);
    output1 = vec4(normal, linearDepth);
    output2 = vec4(albedo, texture(specularMap, uv).r);
    output3 = tintOut;
}
