#version 330 compatibility
// Radial streaks of texture2d_1 towards a light position given in texture coordinates.

uniform sampler2D texture2d_1;
uniform vec3 LightPosition;  // x, y: the light on screen (0..1); z: streak length
uniform float time;

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 step = (LightPosition.xy - uv) * (0.015 + 0.01 * LightPosition.z);
    float flicker = 0.9 + 0.1 * sin(time * 7.0);
    vec3 sum = vec3(0.0);
    float weight = 1.0;
    for (int k = 0; k < 24; ++k) {
        uv += step;
        sum += texture(texture2d_1, uv).rgb * weight;
        weight *= 0.92;
    }
    gl_FragColor = vec4(sum * 0.08 * flicker, 1.0);
}
