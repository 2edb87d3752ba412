#version 330 compatibility
// Nine-tap box blur of texture2d_1, one pixel apart.

uniform sampler2D texture2d_1;

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    vec3 sum = vec3(0.0);
    for (int y = -1; y <= 1; ++y)
        for (int x = -1; x <= 1; ++x) sum += texture(texture2d_1, uv + vec2(x, y) * pixel).rgb;
    gl_FragColor = vec4(sum / 9.0, 1.0);
}
