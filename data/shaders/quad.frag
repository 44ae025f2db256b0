#version 330
// The frame's linear image to the window, gamma-encoded.

in vec2 texCoord;

uniform sampler2D textureSampler;
uniform float gamma;

out vec4 fragColor;

void main()
{
    vec3 color = max(texture(textureSampler, texCoord).rgb, vec3(0.0));
    fragColor = vec4(pow(color, vec3(1.0 / gamma)), 1.0);
}
