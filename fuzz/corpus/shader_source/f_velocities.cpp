#version 330 compatibility
// Writes the screen-space velocity (in half-screens per frame) biased into 0..1.

in vec4 vCurrent;
in vec4 vPrevious;

void main()
{
    vec2 now = vCurrent.xy / vCurrent.w;
    vec2 before = vPrevious.xy / max(vPrevious.w, 1e-6);
    vec2 velocity = clamp((now - before) * 0.5, -0.5, 0.5);
    gl_FragColor = vec4(velocity + 0.5, 0.0, 1.0);
}
