#version 330
// Eleven-tap Gaussian along the axis the vertex program chose.

uniform sampler2D sceneTexture;

in vec2 blurCoords[11];
out vec4 blurred;

const float kWeights[11] = float[](0.0093, 0.028002, 0.065984, 0.121703, 0.175713, 0.198596,
                                   0.175713, 0.121703, 0.065984, 0.028002, 0.0093);

void main()
{
    vec4 sum = vec4(0.0);
    for (int i = 0; i < 11; ++i)
        sum += texture(sceneTexture, blurCoords[i]) * kWeights[i];
    blurred = sum;
}
