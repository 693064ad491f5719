#include "platform/LargePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "platform/LargeBuffer.h"

namespace {

using platform::kLargePageSize;

TEST(LargePages, BlocksAreWholeAlignedLargePages) {
    EXPECT_EQ(platform::largePageRounded(0), kLargePageSize);
    EXPECT_EQ(platform::largePageRounded(1), kLargePageSize);
    EXPECT_EQ(platform::largePageRounded(kLargePageSize + 1), 2 * kLargePageSize);
    EXPECT_THROW(platform::largePageRounded(SIZE_MAX - 5), std::bad_alloc);

    void* block = platform::allocateLargePages(3 * kLargePageSize - 7);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kLargePageSize, 0u);
    std::memset(block, 0x5a, 3 * kLargePageSize);  // every rounded byte is usable
    platform::freeLargePages(block);
}

TEST(LargePages, TheResourceServesSmallAndLargeRequests) {
    std::pmr::memory_resource* resource = platform::largePageResource();
    for (const std::size_t size : {std::size_t{16}, std::size_t{64} << 10, std::size_t{3} << 20}) {
        void* block = resource->allocate(size, 16);
        std::memset(block, 1, size);
        resource->deallocate(block, size, 16);
    }
    EXPECT_TRUE(resource->is_equal(*platform::largePageResource()));
    EXPECT_FALSE(resource->is_equal(*std::pmr::new_delete_resource()));
}

TEST(LargeBuffer, GrowsKeepingItsBytesAndStartsOverWhenCleared) {
    platform::LargeBuffer buffer;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        const std::string piece(10007, static_cast<char>('a' + i % 26));
        buffer.append(piece.data(), piece.size());
        expected += piece;
    }
    EXPECT_GE(buffer.capacity(), expected.size());
    EXPECT_EQ(buffer.capacity() % kLargePageSize, 0u);
    ASSERT_EQ(buffer.size(), expected.size());
    EXPECT_EQ(std::memcmp(buffer.data(), expected.data(), expected.size()), 0);
    buffer.clear();
    buffer.append("x", 1);
    EXPECT_EQ(buffer.size(), 1u);
    buffer.release();
    EXPECT_EQ(buffer.capacity(), 0u);
}

}  // namespace
