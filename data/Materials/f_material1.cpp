#version 330 compatibility
// Particles: the colour into the scene, and a share of it into the glow output that the
// combine pass blurs.

in vec4 vColour;

void main()
{
    gl_FragData[0] = vec4(vColour.rgb, 1.0);
    gl_FragData[1] = vec4(vColour.rgb * vColour.a, 1.0);
}
