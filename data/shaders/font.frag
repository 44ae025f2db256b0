#version 330
// The glyph bitmap is coverage: it scales the text colour's alpha.

in vec2 texCoord;

uniform sampler2D glyphTexture;
uniform vec4 textColor;

out vec4 fragColor;

void main()
{
    fragColor = vec4(textColor.rgb, textColor.a * texture(glyphTexture, texCoord).r);
}
