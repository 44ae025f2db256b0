#version 330
// The particle's two atlas frames blended, faded out as it nears the scene surface behind it
// (and gone behind it), so quads crossing walls and floors show no hard edge.

in vec2 currentUv;
in vec2 nextUv;
in float frameBlend;
in float viewDistance;

uniform sampler2D particleTex;
// The G-buffer depth, the size of the window.
uniform sampler2D sceneDepthTex;

out vec4 fragColor;

// The cameras' planes.
const float NEAR = 0.5;
const float FAR = 1000.0;
// Distance in front of a surface over which a particle fades in.
const float SOFTNESS = 0.5;

void main()
{
    vec4 colour = mix(texture(particleTex, currentUv), texture(particleTex, nextUv), frameBlend);
    vec2 screenUv = gl_FragCoord.xy / vec2(textureSize(sceneDepthTex, 0));
    float ndc = texture(sceneDepthTex, screenUv).r * 2.0 - 1.0;
    float sceneDistance = 2.0 * NEAR * FAR / (FAR + NEAR - ndc * (FAR - NEAR));
    float fade = clamp((sceneDistance - viewDistance) / SOFTNESS, 0.0, 1.0);
    fragColor = vec4(colour.rgb, colour.a * fade);
}
