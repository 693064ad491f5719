#include "engine/http/BodyBuffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using engine::BodyBuffer;

TEST(BodyBuffer, KeepsBytesUpToTheCap) {
    BodyBuffer body(10);
    body.append("hello", 5);
    body.append("world", 5);
    EXPECT_FALSE(body.overCap());
    EXPECT_EQ(body.received(), 10u);
    EXPECT_EQ(body.take(), "helloworld");
}

TEST(BodyBuffer, PastTheCapNothingIsKeptButEverythingIsCounted) {
    BodyBuffer body(10);
    body.append("hello", 5);
    body.append("world!", 6);
    body.append("more", 4);
    EXPECT_TRUE(body.overCap());
    EXPECT_EQ(body.received(), 15u);
    EXPECT_EQ(body.take(), "");
}

TEST(BodyBuffer, ClearStartsANewResponse) {
    BodyBuffer body(4);
    body.append("12345", 5);
    body.clear();
    EXPECT_FALSE(body.overCap());
    body.append("ab", 2);
    EXPECT_EQ(body.received(), 2u);
    EXPECT_EQ(body.take(), "ab");
}

TEST(BodyBuffer, AnnouncedLengthsBeyondTheCapReserveNothing) {
    BodyBuffer body(1024);
    body.expect(std::uint64_t{1} << 40);  // a hostile Content-Length
    body.append("x", 1);
    EXPECT_EQ(body.take(), "x");
}

TEST(BodyBuffer, LargeBodiesKeepEveryByteWhetherAnnouncedOrGrown) {
    // Past 1 MiB the bytes move to other storage; what came before must move with them.
    std::string chunk(64 * 1024, '\0');
    for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 7 + i / 251);
    for (const std::uint64_t announced : {std::uint64_t{0}, std::uint64_t{5} << 20}) {
        BodyBuffer body;
        body.append("head", 4);
        body.expect(announced);
        std::string expected = "head";
        for (int i = 0; i < 80; ++i) {  // 5 MiB, crossing several growths when not announced
            body.append(chunk.data(), chunk.size());
            expected += chunk;
        }
        EXPECT_EQ(body.received(), expected.size());
        EXPECT_TRUE(body.take() == expected) << "announced " << announced;
        body.append("next", 4);  // the buffer is usable again after take()
        EXPECT_EQ(body.take(), "next");
    }
}

TEST(BodyBuffer, ALargeBodyPastTheCapIsCountedButNotKept) {
    BodyBuffer body(3u << 20);
    const std::string chunk(1u << 20, 'z');
    for (int i = 0; i < 5; ++i) body.append(chunk.data(), chunk.size());
    EXPECT_TRUE(body.overCap());
    EXPECT_EQ(body.received(), 5u << 20);
    EXPECT_EQ(body.take(), "");
    body.clear();
    body.append(chunk.data(), chunk.size());
    EXPECT_FALSE(body.overCap());
    EXPECT_EQ(body.take().size(), chunk.size());
}

TEST(BodyBuffer, CountsPastFourGibibytesWithoutWrapping) {
    BodyBuffer body(1 << 20);
    const std::string chunk(1 << 20, 'x');
    for (int i = 0; i < 4097; ++i) body.append(chunk.data(), chunk.size());  // 4 GiB + 1 MiB
    EXPECT_EQ(body.received(), (std::uint64_t{4097}) << 20);
    EXPECT_TRUE(body.overCap());
    EXPECT_EQ(BodyBuffer::size32(body.received()), 0xFFFFFFFFu);
}

TEST(BodyBuffer, Size32) {
    EXPECT_EQ(BodyBuffer::size32(0), 0u);
    EXPECT_EQ(BodyBuffer::size32(0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(BodyBuffer::size32(std::uint64_t{1} << 32), 0xFFFFFFFFu);
}

}  // namespace
