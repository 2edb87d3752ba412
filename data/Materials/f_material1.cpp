#version 330 compatibility
// Particles: the colour into the scene, and a share of it into the glow output that the
// combine pass blurs.

in vec4 vColour;
in float vGlow;

void main()
{
    gl_FragData[0] = vColour;
    gl_FragData[1] = vec4(vColour.rgb * vGlow, 1.0);
}
