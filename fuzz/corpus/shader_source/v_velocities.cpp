#version 330 compatibility
// Screen-space motion of mesh vertices: current and previous clip positions, the latter
// through the texture matrix of unit 1 (last frame's projection * modelview).

out vec4 vCurrent;
out vec4 vPrevious;

void main()
{
    vCurrent = gl_ModelViewProjectionMatrix * gl_Vertex;
    vPrevious = gl_TextureMatrix[1] * gl_Vertex;
    gl_Position = vCurrent;
}
