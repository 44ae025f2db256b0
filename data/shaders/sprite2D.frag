#version 330
// A sprite's texel faded by the sprite's alpha (values above 1 draw opaque).

in vec2 texCoord;

uniform sampler2D spriteTexture;
uniform float spriteAlpha;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(spriteTexture, texCoord);
    fragColor = vec4(texel.rgb, texel.a * clamp(spriteAlpha, 0.0, 1.0));
}
