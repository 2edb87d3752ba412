#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TW_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TW_OWN_ALLOCATOR 1
#endif
#endif

namespace {

// The size of the scratch a software GL draw of the main population allocates and frees:
// it must come from the heap, and still be there, mapped, when the next draw asks.
TEST(KeepFreedMemory, ADrawSizedBlockStaysMappedAfterItIsFreed)
{
#if !defined(__GLIBC__) || defined(TW_OWN_ALLOCATOR)
    GTEST_SKIP() << "only glibc's own allocator takes these settings";
#else
    platform_keep_freed_memory();
    const size_t size = 24u << 20;
    const size_t mapped_before = mallinfo2().hblkhd;
    char* block = static_cast<char*>(std::malloc(size));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, size);
    asm volatile("" : : "r"(block) : "memory");  // keep the compiler from dropping the pair
    EXPECT_EQ(mallinfo2().hblkhd, mapped_before) << "served by its own mapping";
    std::free(block);
    EXPECT_GE(mallinfo2().arena, size) << "the heap gave the block back to the kernel";
#endif
}

}  // namespace
