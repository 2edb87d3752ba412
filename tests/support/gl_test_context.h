// A hidden SDL window with a compatibility-profile GL context for GL tests. Tests call
// gl_test_context::get() (once per process) and skip when no context can be made; under
// CI (CI set, and not "false" or "0") they fail instead, so a machine without a display
// cannot turn the suite green by skipping every GL case.
#pragma once

struct gl_test_context {
    // Width/height of the hidden window's default framebuffer.
    static bool get(int width = 320, int height = 180);
    static void swap();
    // True when the environment says a missing context is a failure.
    static bool required();
};

#define TW_REQUIRE_GL()                                                          \
    do {                                                                         \
        if (!gl_test_context::get()) {                                          \
            if (gl_test_context::required()) FAIL() << "no GL context under CI"; \
            GTEST_SKIP() << "no GL context here";                                \
        }                                                                        \
    } while (0)
