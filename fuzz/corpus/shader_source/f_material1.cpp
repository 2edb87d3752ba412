#version 330 compatibility
// Particles: the colour into the scene, and a share of it into the glow output that the
// combine pass blurs. Line strips drop the segments that jump across the scene.

in vec4 vColour;
in float vGlow;
flat in float vLink;

void main()
{
    if (vLink < 0.5) discard;
    gl_FragData[0] = vColour;
    gl_FragData[1] = vec4(vColour.rgb * vGlow, 1.0);
}
