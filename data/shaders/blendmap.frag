#version 330
// Paints the terrain's diffuse texture: the blend map's red, green and blue say how much of the
// first, second and third tile shows; the background fills what they leave. The tiles repeat
// tilingFactor times across the texture, the blend map covers it once.

in vec2 texCoord;

uniform vec2 tilingFactor;
uniform sampler2D blendMap;
uniform sampler2D backgroundMap;
uniform sampler2D color0Map;
uniform sampler2D color1Map;
uniform sampler2D color2Map;

out vec4 fragColor;

void main()
{
    vec3 weights = texture(blendMap, texCoord).rgb;
    float background = clamp(1.0 - (weights.r + weights.g + weights.b), 0.0, 1.0);
    vec2 tiled = texCoord * tilingFactor;
    vec3 color = texture(backgroundMap, tiled).rgb * background + texture(color0Map, tiled).rgb * weights.r +
                 texture(color1Map, tiled).rgb * weights.g + texture(color2Map, tiled).rgb * weights.b;
    fragColor = vec4(color, 1.0);
}
