#include "base/vecmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(VecState, UnsetOperandsGiveZeroSetVector)
{
    const vec3 unset{};
    const vec3 v = make_vec3(1, 2, 3);
    for (vec3 r : {add(unset, v), subtract(v, unset), cross(unset, v), scale(unset, 2.0f)}) {
        EXPECT_EQ(r.state, vec_set);
        EXPECT_EQ(r.x, 0.0f);
        EXPECT_EQ(r.y, 0.0f);
        EXPECT_EQ(r.z, 0.0f);
    }
}

TEST(VecState, NormaliseActsOnlyOnSetVectors)
{
    const vec3 tiny = normalise(make_vec3(0, 0, 1e-9f));
    EXPECT_EQ(tiny.state, vec_normalised);
    EXPECT_EQ(tiny.z, 0.0f);

    const vec3 n = normalise(make_vec3(3, 0, 4));
    EXPECT_EQ(n.state, vec_normalised);
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);

    const vec3 again = normalise(vec3{vec_normalised, 5, 0, 0});
    EXPECT_EQ(again.x, 5.0f);
    EXPECT_EQ(scale(n, 0.75f).state, vec_normalised);
}

TEST(Rotation, EulerBlockAndRotate)
{
    mat4 m = identity();
    from_euler(m, 0, 0, 0);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.m[i], identity().m[i]) << i;

    // A quarter turn about z takes x to y.
    mat4 r = identity();
    from_euler(r, 0, 0, float(std::numbers::pi / 2));
    const vec3 v = rotate(r, make_vec3(1, 0, 0));
    EXPECT_NEAR(v.x, 0.0f, 1e-6f);
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);

    // from_euler leaves the translation column and bottom row alone
    mat4 t = scaled(identity(), 2.0f);
    from_euler(t, 0.3f, 0.2f, 0.1f);
    EXPECT_EQ(t.m[15], 2.0f);
    EXPECT_EQ(t.m[3], 0.0f);
}

TEST(ResponseCurve, KnownValues)
{
    EXPECT_EQ(response_curve(0), 0.0);
    EXPECT_EQ(response_curve(-2), 0.0);
    EXPECT_NEAR(response_curve(1), 0.4523, 1e-4);
    EXPECT_DOUBLE_EQ(response_curve(5), 5.0);
    EXPECT_DOUBLE_EQ(response_curve(10.0 / 3.0), 10.0 / 3.0);
}

TEST(Random, SequenceFromSeed)
{
    rand_seed(0);
    EXPECT_EQ(rand_next(), 38);
    EXPECT_EQ(rand_next(), 7719);
    rand_seed(0);
    rand_next();
    rand_next();
    double r = rand01();
    EXPECT_GE(r, 0.0);
    EXPECT_LE(r, 1.0);
}
