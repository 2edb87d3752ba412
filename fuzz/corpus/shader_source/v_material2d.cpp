#version 330 compatibility
// Solid meshes: fixed-function transforms, the current colour, normals in eye space.

out vec3 vNormal;
out vec3 vEye;
out vec4 vColour;

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    vEye = eye.xyz;
    vNormal = gl_NormalMatrix * gl_Normal;
    vColour = gl_Color;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = gl_ProjectionMatrix * eye;
}
