#version 330
// The diffuse texel, scaled by colorScale, then mixed toward the tint colour by its strength (w).

in vec2 texCoord;

uniform sampler2D diffuseMap;
uniform vec4 tint;
uniform vec4 colorScale;

out vec4 fragColor;

void main()
{
    vec3 texel = texture(diffuseMap, texCoord).rgb * colorScale.rgb;
    fragColor = vec4(mix(texel, tint.rgb, clamp(tint.a, 0.0, 1.0)), 1.0);
}
