#version 330 core
// Depth only: the depth map is written by the fixed function.

void main()
{
}
