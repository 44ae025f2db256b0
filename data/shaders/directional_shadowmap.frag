#version 330
// Depth only: the shadow map keeps the nearest depth the sun sees.

void main()
{
}
