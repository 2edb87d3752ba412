#version 330 compatibility
// Splash update: a spray thrown off the main population. Splash particle i is born on
// main particle j (spread evenly over the main system, read through TheVBO, which the scene
// points at the main system's newest state), then the flow carries it away until its life
// runs out and it is reborn. State: xyz = position, w = remaining life in (0, 1].
// Buffers start undefined: anything out of range is reborn at once.

// Four particles a vertex, 4v to 4v + 3, in buffer order: software GL spends a fixed cost
// on each transform-feedback vertex, some 40 % of a step at one particle a vertex.
out vec4 vPosition[4];

uniform sampler3D Sampler;        // velocity volume that carries the spray
uniform sampler2D Rendered;       // emitter grid; the spray follows the main particles instead, so unread
uniform sampler2D RenderedRGB;    // emitter colours; drawing reads them, the motion does not
uniform sampler2D Rendered2;      // second grid; unread here
uniform sampler1D DSP;            // music spectrum: loud bins fling their spray further along the flow
uniform samplerBuffer TheVBO;     // the main system's newest state: where each spray particle is born
uniform samplerBuffer Self;       // this population's newest state, which the update advances

uniform float time;               // scrolls the velocity volume, so the spray's paths evolve
uniform float DeltaT;             // step length in 1/20 s: scales travel and ageing
uniform float PosX;               // spray strength: how far the flow carries it per step (the scene hides the spray at <= 0)
uniform float PosY;               // constant upward drift per step (0 during the show)
uniform float Attract;            // pull towards the origin: >0 gathers the spray into the centre, <0 spreads it
uniform float ThePS;              // per-frame retention base (0.000073^(5 dt)): keeps every pull frame-rate independent
uniform float Attack;             // pull back towards the parent main particle: high keeps the spray tight
uniform float ClockInterpolate;   // extra ageing per step when < 0: shorter, denser bursts
uniform float Quantiser;          // birth points snap to a grid of 1/Quantiser units: 1 is blocky, 1000 is smooth, 0 is off
uniform mat4 RotationMatrix;      // unread: the spray inherits the main system's rotated targets

const float bound = 24.0;

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

vec4 advance(int i, vec4 State)
{
    // 25/9 spreads the 90,000 splash particles evenly over the 250,000 main ones.
    float parents = float(max(textureSize(TheVBO), 1));
    float spread = floor((float(i) * 25.0 + 0.5) / 9.0);
    int j = int(spread - parents * floor((spread + 0.5) / parents));
    vec3 parent = texelFetch(TheVBO, j).xyz;
    vec3 p = State.xyz;
    float life = State.w;

    bool valid = usable(State, bound) && life > 0.0 && life <= 1.0;
    if (!valid || !usable(vec4(parent, 1.0), bound)) {
        vec3 birth = Quantiser > 0.0 ? floor(parent * Quantiser + 0.5) / Quantiser : parent;
        return vec4(clamp(birth, -bound, bound), 0.05 + 0.95 * hash(i));
    }

    float ps = clamp(ThePS, 1e-6, 1.0);
    vec3 flow = texture(Sampler, p * vec3(0.125, 0.0625, 0.125) + vec3(0.0, 0.013 * time, 0.0)).xyz;
    float loud = texture(DSP, 0.01 + 0.2 * hash(i + 7919)).r;
    p += flow * ((PosX * (0.5 + hash(i + 31)) + loud) * 0.05 * DeltaT);
    p.y += PosY * 0.05 * DeltaT;
    p += (parent - p) * clamp(1.0 - pow(ps, 0.005 * Attack), -1.0, 1.0);
    p -= p * clamp(1.0 - pow(ps, 0.02 * Attract), -1.0, 1.0);

    // The spray always fades so that it keeps coming from where the main particles are now.
    life -= (0.02 + max(-ClockInterpolate, 0.0) * 0.1) * DeltaT;
    return life > 0.0 ? vec4(p, life) : vec4(parent, 1.0);
}

void main()
{
    for (int k = 0; k < 4; ++k) {
        int i = 4 * gl_VertexID + k;
        vPosition[k] = advance(i, texelFetch(Self, i));
    }
}
