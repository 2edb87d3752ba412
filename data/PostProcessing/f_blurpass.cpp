#version 330 compatibility
// Final pass to the window: bloom, a touch of lens (aberration, vignette), film grain and
// a spectrum accent: the music's low bands push the bloom and paint a thin light line.

uniform sampler2D texture2d_1;           // the combined picture
uniform sampler2D texture2d_velocities;  // screen-size noise: fixed grain structure
uniform sampler2D texture2d_random;      // 1024 x 1024 noise: moving grain
uniform sampler2D texture2d_2;           // scene depth (the bloom pass reads it now)
uniform sampler1D texture1d_dsp;         // spectrum, 256 grey texels
uniform float Limit;                     // developer exposure adjustment in stops (0 in the show)
uniform float time;                      // scene time
uniform sampler2D texture2d_bloom;       // quarter size: bloom of texture2d_1; alpha: how far
uniform float bass;                      // spectrum bands, the same for every pixel
uniform float mids;

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec2 pixel = 1.0 / vec2(textureSize(texture2d_1, 0));

    vec2 from_centre = uv - 0.5;
    vec2 shift = from_centre * pixel * (2.0 + 6.0 * bass) * length(from_centre) * 4.0;
    vec3 colour;
    colour.r = texture(texture2d_1, uv + shift).r;
    colour.g = texelFetch(texture2d_1, ivec2(gl_FragCoord.xy), 0).g;  // one texel: no filter
    colour.b = texture(texture2d_1, uv - shift).b;

    vec4 bloom = texture(texture2d_bloom, uv);
    vec3 soft = bloom.rgb;
    colour += soft * (1.4 + 2.0 * bass);
    colour = mix(colour, colour * 0.75 + soft * 1.5, 0.5 * bloom.a);

    // Spectrum accent: a thin line near the bottom whose brightness follows the bands.
    // A loop rather than an if: a software rasteriser skips a loop that no pixel of its
    // block enters, and the line is nothing beyond a few of its widths.
    for (int near_line = int(abs(uv.y - 0.045) < 0.02); near_line > 0; --near_line) {
        float line = exp(-pow((uv.y - 0.045) / 0.0035, 2.0));
        float level = texture(texture1d_dsp, clamp(abs(uv.x - 0.5) * 1.2, 0.0, 1.0)).r;
        colour += vec3(1.0, 0.55, 0.25) * line * level * 0.6 * (0.5 + mids);
    }

    float vignette = smoothstep(1.05, 0.35, length(from_centre * vec2(1.1, 1.0)));
    colour *= mix(0.55, 1.0, vignette);

    vec2 grain_uv = uv / pixel / 1024.0 + fract(vec2(time * 3.17, time * 7.31));
    float fixed_grain = texelFetch(texture2d_velocities, ivec2(gl_FragCoord.xy), 0).g;
    float grain = texture(texture2d_random, grain_uv).r + fixed_grain;
    colour += (grain - 1.0) * 0.035;

    colour *= exp2(Limit);
    // Soft shoulder: hot letters and dense particles roll off instead of clipping flat.
    colour = colour / (1.0 + 0.25 * max(colour - 0.8, 0.0));
    gl_FragColor = vec4(colour, 1.0);
}
