#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xlib/Exception.h"
#include "xlib/Stream.h"

namespace xlib {

// A direction-bearing front over one stream: storing when built over an OutputStream, loading
// when built over an InputStream. It owns neither stream and keeps no state of its own (no
// position, buffering or header). Every failure throws xlib::Exception; nothing is rolled back.
class Archive {
public:
    explicit Archive(OutputStream& out) : out_(&out) {}
    explicit Archive(InputStream& in) : in_(&in) {}
    virtual ~Archive() = default;

    bool isStoring() const { return out_ != nullptr; }

    void write(const void* bytes, std::size_t count);
    // Refuses before reading when fewer than count bytes remain, so nothing is consumed.
    void read(void* bytes, std::size_t count);

    // A 4-byte little-endian length, then the bytes.
    void writeBuffer(const std::vector<std::uint8_t>& buffer);
    void writeBuffer(const void* bytes, std::size_t count);
    // Checks the length against what remains before allocating anything.
    void readBuffer(std::vector<std::uint8_t>& buffer);

private:
    std::int64_t remaining() const { return in_ ? in_->remaining() : 0; }

    OutputStream* out_ = nullptr;
    InputStream* in_ = nullptr;
};

// One routine per persistent value, serving both directions.
void serializeInt(std::int32_t& value, bool storing, Archive& archive);
// The characters and one terminating zero; loading cuts at the first zero of the block.
void serializeString(std::string& value, bool storing, Archive& archive);
// The format version word, 3. Loading returns whether it matched and never throws on a mismatch.
bool serializeVersion(bool storing, Archive& archive);

}  // namespace xlib
