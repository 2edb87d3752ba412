// One GPU particle population. The state of every particle lives in two buffer objects
// that take turns as source and destination; a vertex-only program advances it once per
// frame by transform feedback with rasterisation off, four particles a vertex. The CPU
// only supplies the inputs (velocity volume, emitter textures, uniforms) and never
// touches individual particles.
// Needs a current GL context with transform feedback and texture buffers.
#pragma once
#include "base/vecmath.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the main system finds its velocity field, relative to the data directory.
inline constexpr const char* velocity_volume_path = "binaries//Velocity.dat";

// Particles one update vertex advances: it reads them from Self and writes vPosition[4].
// A population must be a multiple of it.
inline constexpr int particles_per_vertex = 4;

struct particle_system {
    uint32_t source_buffer = 0;       // newest complete state; what the next update reads
    uint32_t destination_buffer = 0;  // receives the next update's output
    uint32_t source_view = 0;         // GL_RGBA32F texture-buffer view of source_buffer
    uint32_t destination_view = 0;    // view of destination_buffer; swaps with it
    vec3 lead_particle;               // particle 0 as last read back; state 1 once read
    uint32_t program = 0;             // update program (vertex shader + "vPosition" capture)
    bool program_linked = false;      // false: the console says why; updates draw nothing useful
    uint32_t volume = 0;              // 3D velocity texture; shared by name between systems
    int32_t columns = 0;
    int32_t rows = 0;
    bool readback = false;            // read particle 0 into lead_particle before each update

    void configure(int32_t columns, int32_t rows, bool readback);
    // Main system only, between configure and create. A missing or short file gives a
    // zero-filled volume and one console line.
    void load_velocity_volume(const std::string& path = velocity_volume_path);
    // Makes the state buffers and builds the update program; false (and the reason on the
    // console) when the program did not link or the population is not a multiple of
    // particles_per_vertex.
    bool create(const std::string& shader_path);
    // Makes the program current and binds its inputs: volume on unit 0 (Sampler),
    // positions on 1 (Rendered), colours on 2 (RenderedRGB), second positions on 3
    // (Rendered2), the source view on 5 (TheVBO) and 6 (Self). Leaves unit 0 active so the
    // caller can bind the spectrum on unit 4 and set the frame's uniforms on the same
    // program.
    void bind_for_update(uint32_t positions, uint32_t colours, uint32_t positions2);
    // Transform feedback of count() / particles_per_vertex points into the destination,
    // then swaps the buffers and their views: afterwards source_buffer/source_view hold
    // the state just written.
    void run_update();

    // The newest state as floats (4 a particle), and back: how a snapshot keeps and
    // restores the population. write_state ignores a vector of another size.
    std::vector<float> read_state() const;
    void write_state(const std::vector<float>& state);

    int32_t count() const { return columns * rows; }
    // Bytes of one state buffer: one vec4 of floats per particle.
    std::size_t state_bytes() const { return static_cast<std::size_t>(count() > 0 ? count() : 0) * 16; }
};
