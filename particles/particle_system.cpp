#include "particles/particle_system.h"

#include "assets/velocity_volume.h"
#include "render/program_build.h"

#include <GL/glew.h>

#include <cstdio>
#include <utility>

void particle_system::configure(int32_t columns_, int32_t rows_, bool readback_)
{
    columns = columns_;
    rows = rows_;
    readback = readback_;
}

void particle_system::load_velocity_volume(const std::string& path)
{
    const volume_data data = read_velocity_file(path);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_3D, texture);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGB16F, volume_width, volume_height, volume_depth, 0,
                 GL_RGB, GL_FLOAT, data.texels.data());
    // The field is periodic, so particles that leave one side keep flowing in the other.
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    volume = texture;
}

static void make_state_buffer(std::size_t bytes, uint32_t& buffer, uint32_t& view)
{
    GLuint b = 0, t = 0;
    glGenBuffers(1, &b);
    glBindBuffer(GL_ARRAY_BUFFER, b);
    glBindBuffer(GL_TEXTURE_BUFFER, b);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_DRAW);
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_BUFFER, t);
    glTexBuffer(GL_TEXTURE_BUFFER, GL_RGBA32F, b);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    buffer = b;
    view = t;
}

// Every sampler defaults to unit 0, and two sampler types on one unit make every draw
// fail. The scene sets DSP itself each frame; this keeps a pass that does not (or a
// program that has not been used yet) valid.
static void point_samplers_at_their_units(GLuint program)
{
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    const char* names[] = {"Sampler", "Rendered", "RenderedRGB", "Rendered2", "DSP", "TheVBO", "Self"};
    for (int unit = 0; unit < 7; ++unit) glUniform1i(glGetUniformLocation(program, names[unit]), unit);
    glUseProgram(static_cast<GLuint>(previous));
}

bool particle_system::create(const std::string& shader_path)
{
    make_state_buffer(state_bytes(), source_buffer, source_view);
    make_state_buffer(state_bytes(), destination_buffer, destination_view);

    // Only the position state is captured. The log follows without a path line unless
    // the compile fails.
    const built_program built =
        build_program_from_files({{GL_VERTEX_SHADER, shader_path}}, {"vPosition"}, path_lines::on_failure);
    program = built.program;
    program_linked = built.ok();
    if (count() % particles_per_vertex != 0) {
        std::printf("%s: %d particles are not a multiple of %d; the population is not updated\n",
                    shader_path.c_str(), count(), particles_per_vertex);
        program_linked = false;
    }
    point_samplers_at_their_units(program);
    return program_linked;
}

static void bind_on_unit(GLuint program, int unit, GLenum target, uint32_t texture, const char* name)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
    glUniform1i(glGetUniformLocation(program, name), unit);
    glActiveTexture(GL_TEXTURE0);
}

void particle_system::bind_for_update(uint32_t positions, uint32_t colours, uint32_t positions2)
{
    glUseProgram(program);
    glBindBuffer(GL_ARRAY_BUFFER, source_buffer);
    if (readback && count() > 0) {
        float xyz[3] = {};
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof xyz, xyz);
        lead_particle = make_vec3(xyz[0], xyz[1], xyz[2]);
    }
    // The program reads no attribute, but a compatibility context draws nothing without array 0.
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, destination_buffer);

    bind_on_unit(program, 0, GL_TEXTURE_3D, volume, "Sampler");
    bind_on_unit(program, 1, GL_TEXTURE_2D, positions, "Rendered");
    bind_on_unit(program, 2, GL_TEXTURE_2D, colours, "RenderedRGB");
    bind_on_unit(program, 3, GL_TEXTURE_2D, positions2, "Rendered2");
    bind_on_unit(program, 5, GL_TEXTURE_BUFFER, source_view, "TheVBO");
    bind_on_unit(program, 6, GL_TEXTURE_BUFFER, source_view, "Self");
}

void particle_system::run_update()
{
    glEnable(GL_RASTERIZER_DISCARD);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, count() / particles_per_vertex);
    glEndTransformFeedback();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableVertexAttribArray(0);
    std::swap(source_buffer, destination_buffer);
    std::swap(source_view, destination_view);
    glDisable(GL_RASTERIZER_DISCARD);
}

std::vector<float> particle_system::read_state() const
{
    std::vector<float> state(state_bytes() / sizeof(float));
    if (state.empty()) return state;
    glBindBuffer(GL_ARRAY_BUFFER, source_buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(state_bytes()), state.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return state;
}

void particle_system::write_state(const std::vector<float>& state)
{
    if (state.empty() || state.size() * sizeof(float) != state_bytes()) return;
    glBindBuffer(GL_ARRAY_BUFFER, source_buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(state_bytes()), state.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
