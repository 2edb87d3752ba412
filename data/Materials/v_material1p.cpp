#version 330 compatibility
// Main particle update, run once per frame by transform feedback. Particle i belongs to
// texel i of the emitter grid: it is born there, drifts through the velocity volume and
// is pulled back to that texel. State: xyz = position, w = remaining life in (0, 1].
// Buffers start undefined (zeros or garbage): anything out of range is reborn on its texel.

// Four particles a vertex, 4v to 4v + 3, in buffer order: software GL spends a fixed cost
// on each transform-feedback vertex, some 40 % of a step at one particle a vertex.
out vec4 vPosition[4];

uniform sampler3D Sampler;        // velocity volume; periodic, so the flow never runs out
uniform sampler2D Rendered;       // emitter grid: target position of each particle
uniform sampler2D RenderedRGB;    // emitter colours; drawing reads them, the motion does not
uniform sampler2D Rendered2;      // second grid; the scene passes Rendered again, so unread
uniform sampler1D DSP;            // music spectrum: loud bins push their particles along the flow
uniform samplerBuffer TheVBO;     // newest state; unread, the same data arrives through Self
uniform samplerBuffer Self;       // this population's newest state, which the update advances

uniform float time;               // scrolls the velocity volume, so the flow pattern evolves
uniform float DeltaT;             // step length in 1/20 s: scales flow travel and ageing
uniform float PosX;               // flow strength: how far the volume carries particles per step (<0 reverses it)
uniform float PosY;               // constant upward drift per step (0 during the show)
uniform float Attract;            // pull towards the origin: >0 gathers the cloud into the centre, <0 spreads it
uniform float ThePS;              // per-frame retention base (0.000073^(5 dt)): keeps every pull frame-rate independent
uniform float Attack;             // pull towards the particle's target: 1 settles in ~0.5 s, 13 snaps, 0 lets go, <0 blasts away
uniform float ClockInterpolate;   // ageing per step: <0 shortens lives so particles are reborn on the outline, >=0 immortal
uniform float Quantiser;          // targets snap to a grid of 1/Quantiser units: 1 is blocky, 1000 is smooth, 0 is off
uniform mat4 RotationMatrix;      // rotates and scales the targets about the origin

const float bound = 24.0;         // further than this from the origin counts as lost

// Bit test rather than comparisons: NaN compares unpredictably under fast-math drivers.
bool usable(vec4 v, float limit)
{
    uvec4 exponent = floatBitsToUint(v) & 0x7f800000u;
    return all(notEqual(exponent, uvec4(0x7f800000u))) && all(lessThan(abs(v.xyz), vec3(limit)));
}

float hash(int i)
{
    uint h = uint(i) * 747796405u + 2891336453u;
    h = ((h >> ((h >> 28u) + 4u)) ^ h) * 277803737u;
    return float((h >> 22u) ^ h) * (1.0 / 4294967296.0);
}

vec3 target_of(int i)
{
    // Float division: exact below 2^24 and far cheaper than integer division here.
    vec2 size = vec2(max(textureSize(Rendered, 0), ivec2(1)));
    float k = float(i);
    k -= size.x * size.y * floor((k + 0.5) / (size.x * size.y));
    float row = floor((k + 0.5) / size.x);
    vec3 t = texelFetch(Rendered, ivec2(int(k - row * size.x), int(row)), 0).xyz;
    t = mat3(RotationMatrix) * t;
    return Quantiser > 0.0 ? floor(t * Quantiser + 0.5) / Quantiser : t;
}

vec4 advance(int i, vec4 State)
{
    vec3 target = target_of(i);
    vec3 p = State.xyz;
    float life = State.w;

    bool valid = usable(State, bound) && life > 0.0 && life <= 1.0;
    if (!valid) {
        // Staggered lives, so rebirths spread over time instead of pulsing together.
        return vec4(target, 0.05 + 0.95 * hash(i));
    }

    float ps = clamp(ThePS, 1e-6, 1.0);
    vec3 flow = texture(Sampler, p * vec3(0.125, 0.0625, 0.125) + vec3(0.0, 0.01 * time, 0.0)).xyz;
    float loud = texture(DSP, 0.01 + 0.2 * hash(i + 7919)).r;
    p += flow * ((PosX + 0.5 * loud) * 0.05 * DeltaT);
    p.y += PosY * 0.05 * DeltaT;
    // Fraction of the remaining distance closed this frame; negative pushes outwards.
    p += (target - p) * clamp(1.0 - pow(ps, 0.05 * Attack), -1.0, 1.0);
    p -= p * clamp(1.0 - pow(ps, 0.02 * Attract), -1.0, 1.0);

    life += min(ClockInterpolate, 0.0) * 0.1 * DeltaT;
    return life > 0.0 ? vec4(p, life) : vec4(target, 1.0);
}

void main()
{
    for (int k = 0; k < 4; ++k) {
        int i = 4 * gl_VertexID + k;
        vPosition[k] = advance(i, texelFetch(Self, i));
    }
}
