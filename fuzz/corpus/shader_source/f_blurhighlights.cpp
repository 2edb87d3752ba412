#version 330 compatibility
// Keeps only what is brighter than Limit and blurs it: the input of a bloom.

uniform sampler2D texture2d_1;
uniform float Limit;   // brightness threshold

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    vec3 sum = vec3(0.0);
    for (int k = 0; k < 8; ++k) {
        float a = 0.785398 * float(k);
        vec3 c = texture(texture2d_1, uv + vec2(cos(a), sin(a)) * pixel * 3.0).rgb;
        sum += max(c - Limit, 0.0);
    }
    gl_FragColor = vec4(sum / 8.0, 1.0);
}
