#version 330
// Depth of field: the sharp image where the scene lies at the focus distance, turning into the
// blurred image as its distance from the focus grows to the full range.

in vec2 texCoord;

uniform float distance;
uniform float range;
uniform float zNear;
uniform float zFar;
uniform sampler2D sceneTexture;
uniform sampler2D blurTexture;
uniform sampler2D depthTexture;

out vec4 fragOut;

void main()
{
    float ndc = texture(depthTexture, texCoord).r * 2.0 - 1.0;
    float z = 2.0 * zNear * zFar / (zFar + zNear - ndc * (zFar - zNear));
    float blur = clamp(abs(z - distance) / max(range, 1e-4), 0.0, 1.0);
    fragOut = mix(texture(sceneTexture, texCoord), texture(blurTexture, texCoord), blur);
}
