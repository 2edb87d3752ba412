#version 330 compatibility
// Draws a particle population as points and line strips. Particle i sits on texel i of
// the emitter grids, so its colour is read from the same texel it was born on.

layout(location = 0) in vec4 State;   // xyz position, w remaining life

uniform float PosY;               // vertical offset of the whole population (0 in the show)
uniform float PP;                 // lifts points out of the lines' plane a little (0 in the show)
uniform float time;               // spins the folded shape and the takeover swirl
uniform vec3 GlobalResolution;    // window size: keeps point sizes the same share of the screen
uniform sampler2D RenderedRGB;    // head cloud colours: the takeover palette
uniform sampler2D RenderedRGB2;   // box cloud colours: the normal palette
uniform samplerBuffer TheVBO;     // the population being drawn, to find the previous particle
uniform float takeover;           // 0: calm; grows to ~64: the cloud swirls outwards and burns hot
uniform float transform;          // main: 0..1 folds the population onto a turning knot; splash: spray strength
uniform float TheMode;            // 0 main population, 1 splash
uniform float Dsp;                // spectrum level of this population's band: bigger, brighter points
uniform float DatX;               // sideways shift of the splash population
uniform float LineSegments;       // 0: points; 1: lines indexed by particle; 2: capture the segment list
uniform usamplerBuffer Segments;  // the list the segment pass wrote this frame, read by the points

// Captured by the segment pass: segments (a, a + 1) for a = 4v to 4v + 3, as the indices
// the line draw takes, or, for a broken one, twice the index past the population, which
// that draw puts outside the clip volume; four within a pixel as (4v, 4v + 4) and three
// broken ones. Four a vertex share the placing of their ends, and software GL spends a
// fixed cost on each transform-feedback vertex.
flat out uvec2 vSegment[4];

out vec4 vColour;  // rgb colour, a: share of it into the glow output

bool usable(vec3 p)
{
    uvec3 exponent = floatBitsToUint(p) & 0x7f800000u;
    return all(notEqual(exponent, uvec3(0x7f800000u))) && all(lessThan(abs(p), vec3(1000.0)));
}

float hash(int i)
{
    uint h = uint(i) * 747796405u + 2891336453u;
    h = ((h >> ((h >> 28u) + 4u)) ^ h) * 277803737u;
    return float((h >> 22u) ^ h) * (1.0 / 4294967296.0);
}

vec3 texel_colour(sampler2D grid, int i)
{
    // Float division: exact below 2^24, and software rasterisers split integer division
    // into one scalar divide per lane.
    vec2 size = vec2(max(textureSize(grid, 0), ivec2(1)));
    float k = float(i);
    k -= size.x * size.y * floor((k + 0.5) / (size.x * size.y));
    float row = floor((k + 0.5) / size.x);
    return texelFetch(grid, ivec2(int(k - row * size.x), int(row)), 0).rgb;
}

mat2 turn(float a) { return mat2(cos(a), sin(a), -sin(a), cos(a)); }

// A (2, 3) torus knot by index, with a little thickness: neighbours in index order stay
// neighbours on the curve, so the line strips trace the knot.
vec3 knot_point(int i, int count)
{
    float u = 6.2831853 * float(i) / float(count);
    float r = 2.0 + cos(3.0 * u);
    vec3 k = vec3(r * cos(2.0 * u), r * sin(2.0 * u), -sin(3.0 * u)) * 0.5;
    vec3 jitter = vec3(hash(i), hash(i + 17), hash(i + 29)) - 0.5;
    return k + jitter * 0.08;
}

// Software rasterisers run both sides of every branch, masked; a loop whose count is zero
// is skipped for real. Hence the once-loops around work that is off for most of the show.

vec3 place(vec3 p, int i, int count)
{
    // The splash is drawn with transform 1: for it the value only sets the spray's strength.
    for (int once = int(transform > 0.0 && TheMode < 0.5); once > 0; --once) {
        vec3 s = knot_point(i, count);
        s.xz = turn(0.3 * time) * s.xz;
        p = mix(p, s, clamp(transform, 0.0, 1.0));
    }
    for (int once = int(takeover > 0.0); once > 0; --once) {
        float k = takeover * 0.015;
        p.xz = turn(k * (0.5 + hash(i))) * p.xz;
        p *= 1.0 + k * (0.2 + 0.8 * hash(i + 31));
    }
    p.x += DatX;
    p.y += PosY;
    p.z += PP * 0.1;
    return p;
}

// Where a placed particle lands on screen, in pixels from the centre.
vec2 on_screen(vec3 placed, out bool in_front)
{
    vec4 clip = gl_ModelViewProjectionMatrix * vec4(placed, 1.0);
    in_front = clip.w > 0.1;
    return clip.xy / clip.w * 0.5 * GlobalResolution.xy;
}

// Segments 4g to 4g + 3 of the main population: (a, a + 1), or twice the index past the
// population for one that is broken (its ends jump across the scene, or one is lost).
// True when all four are whole, in front of the camera, and together shorter than a pixel
// on screen: then its five particles draw on the same pixel or two.
bool segment_group(int g, int count, out uvec2 segments[4])
{
    int a = 4 * g;
    vec3 first = texelFetch(TheVBO, a).xyz;
    vec3 placed_first = place(first, a, count);
    bool in_front;
    vec2 screen_first = on_screen(placed_first, in_front);
    bool all_whole = true;
    float span = 0.0;
    for (int k = 0; k < 4; ++k, ++a) {
        vec3 last = texelFetch(TheVBO, a + 1).xyz;
        vec3 placed_last = place(last, a + 1, count);
        bool whole = a + 1 < count && usable(first) && usable(last) &&
                     distance(placed_first, placed_last) < 0.35;
        segments[k] = whole ? uvec2(a, a + 1) : uvec2(count);
        bool front;
        vec2 screen_last = on_screen(placed_last, front);
        all_whole = all_whole && whole;
        in_front = in_front && front;
        span += distance(screen_first, screen_last);
        first = last;
        placed_first = placed_last;
        screen_first = screen_last;
    }
    return all_whole && in_front && span < 1.0;
}

void main()
{
    int i = gl_VertexID;
    int count = max(textureSize(TheVBO), 1);
    vec3 p = State.xyz;
    bool kept = usable(p);
    // Segment pass: a segment that jumps across the scene is broken, and the draw drops
    // it whole before it reaches the rasteriser. Drawing by these indices, each particle
    // is shaded once, however many segments share it.
    for (int k = 0; k < 4; ++k) vSegment[k] = uvec2(0u);
    for (int once = int(LineSegments > 1.5); once > 0; --once) {
        uvec2 segments[4];
        bool tiny = segment_group(i, count, segments);
        // Less than a pixel: one segment stands for four, with the same ends.
        if (tiny) segments = uvec2[4](uvec2(4 * i, 4 * i + 4), uvec2(count), uvec2(count), uvec2(count));
        for (int k = 0; k < 4; ++k) vSegment[k] = segments[k];
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        vColour = vec4(0.0);
        return;
    }
    // The points of such a group, but its first, land on the first one's pixel or the next.
    for (int once = int(LineSegments < 0.5 && TheMode < 0.5 && (i & 3) != 0); once > 0; --once) {
        uint a = uint(i & ~3);
        kept = kept && texelFetch(Segments, i & ~3).xy != uvec2(a, a + 4u);
    }
    for (int once = int(LineSegments > 0.5); once > 0; --once) {
        kept = i < count;
        p = kept ? texelFetch(TheVBO, i).xyz : vec3(0.0);
    }
    if (!kept) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);  // outside the clip volume
        vColour = vec4(0.0);
        return;
    }
    p = place(p, i, count);

    vec3 base = texel_colour(RenderedRGB2, i);
    vec3 colour = mix(vec3(0.75, 0.8, 0.9), base, 0.6);
    // The spray is a faint mist: 90,000 points must not add up to a solid blob.
    if (TheMode > 0.5) colour = vec3(0.45, 0.7, 1.0) * 0.3 * clamp(transform, 0.0, 1.0);
    float heat = clamp(takeover / 40.0, 0.0, 1.0);
    for (int once = int(heat > 0.0); once > 0; --once) {
        vec3 head = texel_colour(RenderedRGB, i);
        colour = mix(colour, mix(head, vec3(1.0, 0.42, 0.12), 0.7), heat);
    }
    // Hot particles crowd the screen late in the show: dim them a little so they glow, not clip.
    colour *= (1.0 + 1.5 * Dsp) * mix(1.0, 0.7, heat);

    vec4 eye = gl_ModelViewMatrix * vec4(p, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float scale = max(GlobalResolution.y, 1.0) / 720.0;
    float near_boost = clamp(3.5 / max(-eye.z, 0.1), 0.5, 3.0);
    float size = (TheMode > 0.5 ? 1.0 : 1.5 + 0.5 * (1.0 - transform)) * (1.0 + 2.0 * Dsp) * near_boost;
    gl_PointSize = max(1.0, size * scale);

    vColour = vec4(colour * gl_Color.rgb, 0.25 + 0.5 * Dsp + 0.3 * heat + (TheMode > 0.5 ? 0.5 : 0.0));
}
