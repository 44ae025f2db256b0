#version 330
// The lit scene with its blurred over-threshold part added back: bright surfaces glow.

in vec2 texCoord;

uniform sampler2D sceneTexture;
uniform sampler2D bloomBlurMap;
uniform float bloomIntensity;

out vec4 fragOut;

void main()
{
    vec4 scene = texture(sceneTexture, texCoord);
    vec3 glow = texture(bloomBlurMap, texCoord).rgb;
    fragOut = vec4(scene.rgb + glow * bloomIntensity, scene.a);
}
