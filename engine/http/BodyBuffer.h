#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/LargeBuffer.h"

namespace engine {

// The bytes of one response body, kept up to a cap. Past the cap the bytes kept so far are
// released and later ones only counted, so memory stays bounded whatever the server sends while
// the count stays honest. A large body is kept in huge pages while it arrives, so storing it
// does not slow the transfer being timed (LargeBuffer.h). Not thread-safe: one transfer fills it.
class BodyBuffer {
public:
    static constexpr std::uint64_t kDefaultCap = 256ull << 20;  // 256 MiB
    static constexpr std::uint64_t kMaxReserve = 16ull << 20;   // reserved ahead at most
    static constexpr std::size_t kLargeFrom = 1u << 20;         // kept in huge pages from here

    explicit BodyBuffer(std::uint64_t cap = kDefaultCap) : cap_(cap) {}

    // Reserves room for an announced length (up to kMaxReserve; nothing beyond the cap).
    void expect(std::uint64_t length);
    void append(const char* data, std::size_t count);
    // Forgets everything: a new response begins.
    void clear();

    std::uint64_t received() const { return received_; }
    bool overCap() const { return overCap_; }
    // The kept bytes (empty when over the cap); the buffer is left empty.
    std::string take();

    // A byte count as the 32-bit size the system stores: counts beyond 4 GiB - 1 read as
    // 4 GiB - 1 instead of wrapping to a small number.
    static std::uint32_t size32(std::uint64_t bytes);

private:
    void reserve(std::size_t capacity);
    bool inLargePages() const;
    std::size_t kept() const;

    std::uint64_t cap_;
    std::uint64_t received_ = 0;
    bool overCap_ = false;
    std::string bytes_;            // a body smaller than kLargeFrom
    platform::LargeBuffer large_;  // a larger one, once it is announced or has grown so far
};

}  // namespace engine
