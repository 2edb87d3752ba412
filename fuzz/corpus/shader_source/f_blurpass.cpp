#version 330 compatibility
// Final pass to the window: bloom, a touch of lens (aberration, vignette), film grain and
// a spectrum accent: the music's low bands push the bloom and paint a thin light line.

uniform sampler2D texture2d_1;           // the combined picture
uniform sampler2D texture2d_velocities;  // screen-size noise: fixed grain structure
uniform sampler2D texture2d_random;      // 1024 x 1024 noise: moving grain
uniform sampler2D texture2d_2;           // scene depth: far things soften
uniform sampler1D texture1d_dsp;         // spectrum, 256 grey texels
uniform float Limit;                     // developer exposure adjustment in stops (0 in the show)
uniform float time;                      // scene time

vec3 bloom(vec2 uv, vec2 pixel)
{
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
    return sum / total;
}

float band(float from, float to)
{
    float s = 0.0;
    for (int k = 0; k < 4; ++k) s += texture(texture1d_dsp, mix(from, to, (float(k) + 0.5) / 4.0)).r;
    return s * 0.25;
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));
    float bass = band(0.0, 0.06);
    float mids = band(0.06, 0.3);

    vec2 from_centre = uv - 0.5;
    vec2 shift = from_centre * pixel * (2.0 + 6.0 * bass) * length(from_centre) * 4.0;
    vec3 colour;
    colour.r = texture(texture2d_1, uv + shift).r;
    colour.g = texture(texture2d_1, uv).g;
    colour.b = texture(texture2d_1, uv - shift).b;

    float depth = texture(texture2d_2, uv).r;
    vec3 soft = bloom(uv, pixel);
    colour += soft * (1.4 + 2.0 * bass);
    // Distant particles (beyond about eight units) melt a little into their bloom.
    float far = smoothstep(0.985, 0.999, depth) * step(depth, 0.99999);
    colour = mix(colour, colour * 0.75 + soft * 1.5, 0.5 * far);

    // Spectrum accent: a thin line near the bottom whose brightness follows the bands.
    float line = exp(-pow((uv.y - 0.045) / 0.0035, 2.0));
    float level = texture(texture1d_dsp, clamp(abs(uv.x - 0.5) * 1.2, 0.0, 1.0)).r;
    colour += vec3(1.0, 0.55, 0.25) * line * level * 0.6 * (0.5 + mids);

    float vignette = smoothstep(1.05, 0.35, length(from_centre * vec2(1.1, 1.0)));
    colour *= mix(0.55, 1.0, vignette);

    vec2 grain_uv = uv / pixel / 1024.0 + fract(vec2(time * 3.17, time * 7.31));
    float grain = texture(texture2d_random, grain_uv).r + texture(texture2d_velocities, uv).g;
    colour += (grain - 1.0) * 0.035;

    colour *= exp2(Limit);
    // Soft shoulder: hot letters and dense particles roll off instead of clipping flat.
    colour = colour / (1.0 + 0.25 * max(colour - 0.8, 0.0));
    gl_FragColor = vec4(colour, 1.0);
}
