#version 330 compatibility
// Softer particles: dimmer colour, stronger glow; for populations meant to read as haze.

in vec4 vColour;

void main()
{
    gl_FragData[0] = vec4(vColour.rgb * 0.6, 1.0);
    gl_FragData[1] = vec4(vColour.rgb * (vColour.a + 0.4), 1.0);
}
