#version 330 compatibility
// Combine pass (fixed-function vertex stage, full-screen quad): the scene colour darkened
// by screen-space ambient occlusion from the resolved depth, plus the glow output
// spread out and streaked away from the centre of the scene.

uniform sampler2D texture2d_1;       // resolved scene colour
uniform sampler2D texture2d_2;       // resolved scene depth
uniform sampler2D texture2d_3;       // the scene's second output: what should glow
uniform sampler2D texture2d_random;  // 1024 x 1024 noise: rotates the occlusion kernel
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
    const int taps = 12;
    float sum = 0.0;
    // Nothing occludes the empty background. A software rasteriser runs both sides of an
    // if, masked, but skips a loop that no pixel of its block enters.
    for (int solid = int(depth <= 400.0); solid > 0; --solid) {
        vec2 noise_uv = uv / pixel / 1024.0 + vec2(Limit * 7.0, Limit * 13.0);
        vec3 n = texture(texture2d_random, noise_uv).rgb;
        float angle = 6.2831853 * n.r;
        float radius = clamp(14.0 / depth, 2.0, 24.0);
        for (int k = 0; k < taps; ++k) {
            float f = (float(k) + n.g) / float(taps);
            float a = angle + 2.3999632 * float(k);
            vec2 offset = vec2(cos(a), sin(a)) * pixel * radius * (0.25 + f);
            float diff = depth - eye_depth(uv + offset);
            // Closer neighbours occlude; far-away ones (silhouettes) do not.
            sum += clamp(diff * 4.0, 0.0, 1.0) * (1.0 - smoothstep(0.3, 1.5, diff));
        }
    }
    return sum / float(taps);
}

vec3 glow(vec2 uv, vec2 pixel)
{
    vec3 sum = texture(texture2d_3, uv).rgb * 0.2;
    for (int k = 0; k < 8; ++k) {
        float a = 0.785398 * float(k);
        vec2 d = vec2(cos(a), sin(a)) * pixel;
        sum += texture(texture2d_3, uv + d * 3.0).rgb * 0.06;
        sum += texture(texture2d_3, uv + d * 9.0).rgb * 0.04;
    }
    return sum;
}

// Streaks of the glow towards the point where the scene's origin lands on screen.
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
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    float depth = eye_depth(uv);
    float ao = 1.0 - 0.85 * occlusion(uv, pixel, depth);
    vec3 colour = texture(texture2d_1, uv).rgb * ao;
    colour += glow(uv, pixel) * 0.9 + rays(uv);
    // A faint warm floor under everything, so black never reads as a dead screen.
    colour += vec3(0.012, 0.009, 0.006) * (1.0 - uv.y);
    gl_FragColor = vec4(colour, 1.0);
}
