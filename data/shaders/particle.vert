#version 330
// One particle per instance: a unit quad made from the vertex index (a strip of four), placed and
// turned to the camera by its matrix, textured with the atlas cell of its frame and the next.

in mat4 affineMat;
// xy: lower-left corner of the current frame's cell; zw: of the next frame's.
in vec4 textureOffsets;
// x: atlas rows; y: how far the particle is from the current frame to the next.
in vec2 textureCoordInfo;

uniform mat4 projViewMatrix;
uniform mat4 viewMatrix;

out vec2 currentUv;
out vec2 nextUv;
out float frameBlend;
out float viewDistance;

void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    vec4 world = affineMat * vec4(corner - 0.5, 0.0, 1.0);
    gl_Position = projViewMatrix * world;
    viewDistance = -(viewMatrix * world).z;

    vec2 cell = corner / textureCoordInfo.x;
    currentUv = textureOffsets.xy + cell;
    nextUv = textureOffsets.zw + cell;
    frameBlend = textureCoordInfo.y;
}
