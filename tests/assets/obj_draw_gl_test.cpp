#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include "assets/obj_mesh.h"
#include "tests/support/gl_test_context.h"

namespace {

// Triangles the driver actually assembled for one draw_group call.
GLuint triangles_drawn(const obj_mesh& mesh, int group)
{
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    mesh.draw_group(group);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint count = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
}

obj_mesh strip_mesh(int first_group, int second_group)
{
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\no a\n";
    for (int i = 0; i < first_group; ++i) text += "f 1/1 2/1 3/1\n";
    text += "o b\n";
    for (int i = 0; i < second_group; ++i) text += "f 2/1 4/1 3/1\n";
    obj_mesh m;
    m.load_obj_text(text, false);
    return m;
}

}  // namespace

TEST(obj_draw_gl, draws_the_triangles_of_the_asked_group)
{
    TW_REQUIRE_GL();
    obj_mesh m = strip_mesh(120, 180);
    ASSERT_EQ(m.group_starts, (std::vector<int32_t>{0, 120, 300}));
    EXPECT_EQ(triangles_drawn(m, 1), 180u);  // 540 indices
    EXPECT_EQ(triangles_drawn(m, 0), 120u);
    EXPECT_EQ(triangles_drawn(m, -1), 300u);
    EXPECT_EQ(triangles_drawn(m, 2), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(obj_draw_gl, leaves_client_arrays_disabled_and_skips_unloaded_meshes)
{
    TW_REQUIRE_GL();
    obj_mesh m = strip_mesh(2, 2);
    m.draw_group(-1);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    obj_mesh missing;
    missing.load_obj("/nonexistent.obj", false);
    EXPECT_EQ(triangles_drawn(missing, -1), 0u);
}
