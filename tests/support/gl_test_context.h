// A hidden SDL window with a compatibility-profile GL context for GL tests. Tests call
// gl_test_context::get() (once per process) and skip when no context can be made.
#pragma once

struct gl_test_context {
    // Width/height of the hidden window's default framebuffer.
    static bool get(int width = 320, int height = 180);
    static void swap();
};

#define TW_REQUIRE_GL()                                                     \
    do {                                                                    \
        if (!gl_test_context::get()) GTEST_SKIP() << "no GL context here"; \
    } while (0)
