#version 330 compatibility
// Bloom of the combined picture, drawn at quarter size: what is brighter than 0.45, spread
// along a spiral. Alpha carries how far away the scene is there, so the final pass reads
// both with one filtered read.

uniform sampler2D texture2d_1;  // the combined picture
uniform sampler2D texture2d_2;  // scene depth

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    vec3 sum = vec3(0.0);
    float total = 0.0;
    for (int k = 0; k < 12; ++k) {
        float a = 2.3999632 * float(k);
        float r = 2.0 + 1.6 * float(k);
        vec2 d = vec2(cos(a), sin(a)) * pixel * r;
        vec3 c = texture(texture2d_1, uv + d).rgb;
        float w = 1.0 / (1.0 + 0.15 * r);
        sum += max(c - 0.45, 0.0) * w;
        total += w;
    }
    // Distant particles (beyond about eight units) melt a little into their bloom.
    float depth = texture(texture2d_2, uv).r;
    float far = smoothstep(0.985, 0.999, depth) * step(depth, 0.99999);
    gl_FragColor = vec4(sum / total, far);
}
