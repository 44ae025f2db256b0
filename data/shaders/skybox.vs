#version 330
// The sky behind the scene: a full-screen quad whose corners carry the view ray turned into
// the sky box's own frame.

const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));

// view x sky-box rotation, without projection
uniform mat4 gWVP;
// The camera's inverse projection: takes the corners back to view-space rays.
uniform mat4 inverseProjMat;

out vec3 skyDirection;

void main()
{
    vec2 corner = corners[gl_VertexID];
    vec4 viewPoint = inverseProjMat * vec4(corner, 1.0, 1.0);
    vec3 viewRay = viewPoint.xyz / viewPoint.w;
    // The rotation part is orthonormal: its transpose takes view space back to the sky's frame.
    skyDirection = transpose(mat3(gWVP)) * viewRay;
    gl_Position = vec4(corner, 0.0, 1.0);
}
