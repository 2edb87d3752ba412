#version 330 compatibility
// The combine pass where nothing is near enough to be occluded: the same sum as
// f_combineSSAO.cpp with no occlusion, to the bit. That pass then draws again over what is.

uniform sampler2D texture2d_1;     // resolved scene colour
uniform sampler2D texture2d_glow;  // quarter size: glow and streaks

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec3 colour = texelFetch(texture2d_1, ivec2(gl_FragCoord.xy), 0).rgb;
    colour += texture(texture2d_glow, uv).rgb;
    colour += vec3(0.012, 0.009, 0.006) * (1.0 - uv.y);
    gl_FragColor = vec4(colour, 1.0);
}
