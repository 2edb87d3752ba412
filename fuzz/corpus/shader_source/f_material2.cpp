#version 330 compatibility
// Half-Lambert with a cool rim: surfaces turned away stay readable against black.

in vec3 vNormal;
in vec3 vEye;
in vec4 vColour;

void main()
{
    vec3 n = normalize(vNormal);
    vec3 v = normalize(-vEye);
    vec3 l = normalize(vec3(0.5, 0.7, 0.6));
    float diffuse = 0.5 + 0.5 * dot(n, l);
    float rim = pow(1.0 - max(dot(n, v), 0.0), 3.0);
    vec3 colour = vColour.rgb * diffuse * diffuse + vec3(0.3, 0.45, 0.7) * rim;
    gl_FragData[0] = vec4(colour, vColour.a);
    gl_FragData[1] = vec4(colour * rim, 1.0);
}
