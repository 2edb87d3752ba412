#version 330 compatibility
// Glow and streaks of the scene's second output, drawn at quarter size: both read the
// same source, and the combine pass picks up their sum with one filtered read.

uniform sampler2D texture2d_3;  // the scene's second output: what should glow
uniform float time;             // scene time

// Two rings around the centre, four reads each, the outer one turned by 45 degrees. At
// quarter size the inner ring reads between neighbouring pixels, and the filtered read
// that brings the glow back to full size blends them.
vec3 glow(vec2 uv, vec2 pixel)
{
    vec3 sum = texture(texture2d_3, uv).rgb * 0.2;
    for (int k = 0; k < 4; ++k) {
        float a = 1.570796 * float(k);
        vec2 inner = vec2(cos(a), sin(a)) * pixel * 3.0;
        vec2 outer = vec2(cos(a + 0.785398), sin(a + 0.785398)) * pixel * 9.0;
        sum += texture(texture2d_3, uv + inner).rgb * 0.12;
        sum += texture(texture2d_3, uv + outer).rgb * 0.08;
    }
    return sum;
}

// Streaks towards the point where the scene's origin lands on screen (the projector matrix
// is the texture matrix of unit 2).
vec3 rays(vec2 uv)
{
    vec4 centre = gl_TextureMatrix[2] * vec4(0.0, 0.0, 0.0, 1.0);
    vec2 c = centre.w > 0.0 ? centre.xy / centre.w : vec2(0.5);
    vec2 step = (c - uv) * 0.02;
    vec3 sum = vec3(0.0);
    float weight = 1.0;
    vec2 p = uv;
    for (int k = 0; k < 16; ++k) {
        p += step;
        sum += texture(texture2d_3, p).rgb * weight;
        weight *= 0.88;
    }
    return sum * (0.03 + 0.008 * sin(time * 1.3));  // the streaks breathe slowly
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_3, 0));
    gl_FragColor = vec4(glow(uv, pixel) * 0.9 + rays(uv), 1.0);
}
