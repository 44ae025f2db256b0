#version 330
// Cross-fades the two cube maps. The colour is linearised like every albedo so the final gamma
// shows the sky as painted; the sky never feeds bloom.

in vec3 skyDirection;

uniform samplerCube sky0;
uniform samplerCube sky1;
// 0 the first sky, 1 the second. The final fight pushes it on to 2: past 1 the second sky is
// driven further away from the first (the colours held within range), so the change stays
// visible all the way; below 0 and above 2 the nearer end holds.
uniform float blendFactor;
uniform float gamma;

out vec4 finalSky;
out vec4 brightOut;

void main()
{
    vec3 direction = normalize(skyDirection);
    vec3 first = texture(sky0, direction).rgb;
    vec3 second = texture(sky1, direction).rgb;
    vec3 color = clamp(mix(first, second, clamp(blendFactor, 0.0, 2.0)), 0.0, 1.0);
    finalSky = vec4(pow(color, vec3(gamma)), 1.0);
    brightOut = vec4(0.0, 0.0, 0.0, 1.0);
}
