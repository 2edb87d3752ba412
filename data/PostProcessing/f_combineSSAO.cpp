#version 330 compatibility
// Combine pass (fixed-function vertex stage, full-screen quad): the scene colour darkened
// by screen-space ambient occlusion from the resolved depth, plus the glow and streaks
// that the quarter-size glow pass drew. Drawn where the scene is near, over f_simpleblur.cpp.

uniform sampler2D texture2d_1;       // resolved scene colour
uniform sampler2D texture2d_2;       // resolved scene depth
uniform sampler2D texture2d_3;       // the scene's second output: what should glow
uniform sampler2D texture2d_random;  // 1024 x 1024 noise: rotates the occlusion kernel
uniform sampler2D texture2d_glow;    // quarter size: glow and streaks of texture2d_3
uniform float Limit;                 // per-frame random 0..1: moves the noise every frame
uniform float time;                  // scene time

const float z_near = 0.1;
const float z_far = 800.0;

float eye_depth(vec2 uv)
{
    float d = texture(texture2d_2, uv).r;
    return 2.0 * z_near * z_far / (z_far + z_near - (2.0 * d - 1.0) * (z_far - z_near));
}

float occlusion(vec2 uv, vec2 pixel, float depth)
{
    const int taps = 6;
    float sum = 0.0;
    // Nothing occludes the empty background. The pass draws this program only where the
    // scene is near (a depth test, post_passes.cpp); f_simpleblur.cpp draws the rest.
    for (int solid = int(depth <= 400.0); solid > 0; --solid) {
        vec2 noise_uv = uv / pixel / 1024.0 + vec2(Limit * 7.0, Limit * 13.0);
        vec3 n = texture(texture2d_random, noise_uv).rgb;
        float angle = 6.2831853 * n.r;
        float radius = clamp(14.0 / depth, 2.0, 24.0);
        // Each tap turns the last one's direction by the golden angle: two trigonometric
        // calls a pixel instead of two a tap, which a software rasteriser pays in full.
        vec2 dir = vec2(cos(angle), sin(angle));
        const vec2 golden = vec2(cos(2.3999632), sin(2.3999632));
        for (int k = 0; k < taps; ++k) {
            float f = (float(k) + n.g) / float(taps);
            vec2 offset = dir * pixel * radius * (0.25 + f);
            dir = vec2(dir.x * golden.x - dir.y * golden.y, dir.x * golden.y + dir.y * golden.x);
            float diff = depth - eye_depth(uv + offset);
            // Closer neighbours occlude; far-away ones (silhouettes) do not.
            sum += clamp(diff * 4.0, 0.0, 1.0) * (1.0 - smoothstep(0.3, 1.5, diff));
        }
    }
    return sum / float(taps);
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    float depth = eye_depth(uv);
    float ao = 1.0 - 0.85 * occlusion(uv, pixel, depth);
    // One texel a pixel: a plain fetch costs a software rasteriser less than a filtered read.
    vec3 colour = texelFetch(texture2d_1, ivec2(gl_FragCoord.xy), 0).rgb * ao;
    colour += texture(texture2d_glow, uv).rgb;
    // A faint warm floor under everything, so black never reads as a dead screen.
    colour += vec3(0.012, 0.009, 0.006) * (1.0 - uv.y);
    gl_FragColor = vec4(colour, 1.0);
}
