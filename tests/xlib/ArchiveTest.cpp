#include <Archive>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using xlib::Archive;
using xlib::MemoryInputStream;
using xlib::MemoryOutputStream;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

template <typename Fn>
std::string store(Fn&& fn) {
    MemoryOutputStream out;
    Archive archive(out);
    fn(archive);
    return out.bytes();
}

// Runs fn and returns the message of the xlib::Exception it throws, or "" when none is thrown.
template <typename Fn>
std::string failureOf(Fn&& fn) {
    try {
        fn();
    } catch (const xlib::Exception& e) {
        return e.message();
    }
    return "";
}

// An input stream that records the largest read it was asked for.
class CountingInput : public MemoryInputStream {
public:
    using MemoryInputStream::MemoryInputStream;
    std::size_t read(void* bytes, std::size_t count) override {
        ++reads;
        return MemoryInputStream::read(bytes, count);
    }
    int reads = 0;
};

TEST(ArchiveEncoding, IntsAreFourBytesLittleEndian) {
    std::int32_t one = 1, negative = -2, big = 0x12345678;
    const auto out = store([&](Archive& a) {
        xlib::serializeInt(one, true, a);
        xlib::serializeInt(negative, true, a);
        xlib::serializeInt(big, true, a);
    });
    EXPECT_EQ(out, bytes({1, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff, 0x78, 0x56, 0x34, 0x12}));
}

TEST(ArchiveEncoding, StringsCarryTheirTerminator) {
    std::string abc = "abc", empty;
    EXPECT_EQ(store([&](Archive& a) { xlib::serializeString(abc, true, a); }),
              bytes({4, 0, 0, 0, 'a', 'b', 'c', 0}));
    EXPECT_EQ(store([&](Archive& a) { xlib::serializeString(empty, true, a); }),
              bytes({1, 0, 0, 0, 0}));
}

TEST(ArchiveEncoding, VersionWordIsThree) {
    EXPECT_EQ(store([](Archive& a) { xlib::serializeVersion(true, a); }), bytes({3, 0, 0, 0}));
}

TEST(ArchiveEncoding, EmptyBlockIsLengthOnly) {
    EXPECT_EQ(store([](Archive& a) { a.writeBuffer(std::vector<std::uint8_t>{}); }),
              bytes({0, 0, 0, 0}));
}

TEST(ArchiveRoundTrip, MixedSequenceReadsBackInOrder) {
    std::int32_t a = -123456, b = 0x7fffffff;
    std::string s = "Pagelyst", t;
    std::vector<std::uint8_t> block{0, 1, 2, 255};
    const auto out = store([&](Archive& ar) {
        xlib::serializeInt(a, true, ar);
        xlib::serializeString(s, true, ar);
        ar.writeBuffer(block);
        xlib::serializeString(t, true, ar);
        xlib::serializeInt(b, true, ar);
    });
    MemoryInputStream in(out);
    Archive ar(in);
    std::int32_t a2 = 0, b2 = 0;
    std::string s2, t2 = "junk";
    std::vector<std::uint8_t> block2;
    xlib::serializeInt(a2, false, ar);
    xlib::serializeString(s2, false, ar);
    ar.readBuffer(block2);
    xlib::serializeString(t2, false, ar);
    xlib::serializeInt(b2, false, ar);
    EXPECT_EQ(a2, a);
    EXPECT_EQ(s2, s);
    EXPECT_EQ(block2, block);
    EXPECT_EQ(t2, "");
    EXPECT_EQ(b2, b);
    EXPECT_EQ(in.remaining(), 0);
}

TEST(ArchiveStringLoading, CutsAtTheBlockEnd) {
    std::string value = "x";
    const auto loadFrom = [&](const std::string& data) {
        MemoryInputStream in(data);
        Archive a(in);
        xlib::serializeString(value, false, a);
        return value;
    };
    EXPECT_EQ(loadFrom(bytes({3, 0, 0, 0, 'a', 'b', 'c'})), "ab");
    EXPECT_EQ(loadFrom(bytes({1, 0, 0, 0, 'z'})), "");
    EXPECT_EQ(loadFrom(bytes({0, 0, 0, 0})), "");
    EXPECT_EQ(loadFrom(bytes({5, 0, 0, 0, 'a', 0, 'b', 'c', 0})), "a");
}

TEST(ArchiveVersion, MismatchIsReportedWithoutThrowing) {
    const auto data = bytes({4, 0, 0, 0});
    MemoryInputStream in(data);
    Archive a(in);
    EXPECT_FALSE(xlib::serializeVersion(false, a));
}

TEST(ArchiveVersion, TheWordThreeLoadsAndIsConsumed) {
    const auto data = bytes({3, 0, 0, 0, 9});
    MemoryInputStream in(data);
    Archive a(in);
    EXPECT_TRUE(xlib::serializeVersion(false, a));
    EXPECT_EQ(in.remaining(), 1);
}

TEST(ArchiveFailures, TruncatedIntConsumesNothing) {
    const auto data = bytes({1, 2, 3});
    CountingInput in(data);
    Archive a(in);
    std::int32_t v = 0;
    EXPECT_EQ(failureOf([&] { xlib::serializeInt(v, false, a); }), "Can't read data from stream");
    EXPECT_EQ(in.reads, 0);
    EXPECT_EQ(in.remaining(), 3);
}

TEST(ArchiveFailures, EmptyFileFailsOnFirstInt) {
    MemoryInputStream in("");
    Archive a(in);
    std::int32_t v = 0;
    EXPECT_EQ(failureOf([&] { xlib::serializeInt(v, false, a); }), "Can't read data from stream");
}

TEST(ArchiveFailures, OversizedBlockLengthFailsBeforeAllocating) {
    std::vector<std::uint8_t> block;
    const auto check = [&](const std::string& data) {
        MemoryInputStream in(data);
        Archive a(in);
        return failureOf([&] { a.readBuffer(block); });
    };
    EXPECT_EQ(check(bytes({5, 0, 0, 0, 'a', 'b'})), "Can't read data from stream: not enough data");
    // A negative length is a huge unsigned one: refused, never allocated.
    EXPECT_EQ(check(bytes({0xff, 0xff, 0xff, 0xff, 'a'})),
              "Can't read data from stream: not enough data");
    EXPECT_EQ(check(bytes({1, 0})), "Can't read data from stream: not enough data");
    EXPECT_EQ(block.capacity(), 0u);
}

TEST(ArchiveFailures, WrongDirectionAndShortWrites) {
    MemoryInputStream in("abcd");
    Archive loading(in);
    std::int32_t v = 1;
    EXPECT_EQ(failureOf([&] { loading.write(&v, 4); }), "Can't write data to stream");

    struct Full : xlib::OutputStream {
        std::size_t write(const void*, std::size_t count) override { return count / 2; }
    } full;
    Archive storing(full);
    EXPECT_EQ(failureOf([&] { xlib::serializeInt(v, true, storing); }),
              "Can't write data to stream");
    EXPECT_EQ(failureOf([&] { storing.read(&v, 4); }), "Can't read data from stream");
}

TEST(ArchiveFailures, ExceptionNamesItsSource) {
    MemoryInputStream in("");
    Archive a(in);
    try {
        std::int32_t v;
        a.read(&v, 4);
        FAIL() << "no exception";
    } catch (const xlib::Exception& e) {
        EXPECT_NE(std::strstr(e.file(), "Archive"), nullptr);
        EXPECT_GT(e.line(), 0);
    }
}

}  // namespace
