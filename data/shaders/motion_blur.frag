#version 330
// Motion-blur velocity: where each pixel's surface was on screen at the last motion-blur step,
// from the scene depth and the two camera matrices. The camera alone moves the image; moving
// objects are not tracked.

in vec2 texCoord;

uniform mat4 prevProjViewMat;
uniform mat4 inverseViewProj;
uniform float blurScale;
uniform sampler2D depthMap;
uniform sampler2D sceneTexture;

// Carries nothing: the renderer draws this pass into the velocity attachment only, so a copy of
// the image here would be fetched for every pixel and then dropped.
out vec4 fragOut;
// Screen motion in pixels (xy) of the image the reconstruction smears.
out vec4 velocityOut;

// The reconstruction gathers over one tile of the neighbour-max grid: no pixel may move further.
const float MAX_BLUR_PIXELS = 20.0;

void main()
{
    // The depth is nearest-filtered: a read at the pixel's centre gives its own texel, for less
    // than a texelFetch costs on the software rasteriser.
    float depth = texture(depthMap, texCoord).r;
    vec4 ndc = vec4(texCoord * 2.0 - 1.0, depth * 2.0 - 1.0, 1.0);
    vec4 world = inverseViewProj * ndc;
    world /= world.w;
    vec4 previous = prevProjViewMat * world;
    // A point on the earlier camera's plane would divide by zero; one behind it comes out far
    // off screen, which the clamp below turns into the longest blur.
    float w = abs(previous.w) < 1e-6 ? 1e-6 : previous.w;
    previous.xy /= w;

    vec2 size = vec2(textureSize(sceneTexture, 0));
    vec2 velocity = (ndc.xy - previous.xy) * 0.5 * size * blurScale;
    float len = length(velocity);
    if (len > MAX_BLUR_PIXELS)
        velocity *= MAX_BLUR_PIXELS / len;

    fragOut = vec4(0.0);
    velocityOut = vec4(velocity, 0.0, 1.0);
}
