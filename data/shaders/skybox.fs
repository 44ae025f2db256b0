#version 330
// Cross-fades the two cube maps. The colour is linearised like every albedo so the final gamma
// shows the sky as painted; the sky never feeds bloom.

in vec3 skyDirection;

uniform samplerCube sky0;
uniform samplerCube sky1;
// 0 the first sky, 1 the second. The final fight pushes it on to 2: past 1 the second sky
// deepens, its colours drawn away from their grey (twice as far at 2), so the change stays
// visible all the way without turning black; below 0 and above 2 the nearer end holds.
uniform float blendFactor;
uniform float gamma;

out vec4 finalSky;
out vec4 brightOut;

void main()
{
    vec3 direction = normalize(skyDirection);
    vec3 first = texture(sky0, direction).rgb;
    vec3 second = texture(sky1, direction).rgb;
    float blend = clamp(blendFactor, 0.0, 2.0);
    vec3 color = mix(first, second, min(blend, 1.0));
    float grey = dot(color, vec3(0.2126, 0.7152, 0.0722));
    color = clamp(mix(vec3(grey), color, 1.0 + max(blend - 1.0, 0.0)), 0.0, 1.0);
    finalSky = vec4(pow(color, vec3(gamma)), 1.0);
    brightOut = vec4(0.0, 0.0, 0.0, 1.0);
}
