#include "xlib/Archive.h"

#include <cstring>
#include <limits>

namespace xlib {

void Archive::write(const void* bytes, std::size_t count) {
    if (!out_ || out_->write(bytes, count) < count) XLIB_THROW("Can't write data to stream");
}

void Archive::read(void* bytes, std::size_t count) {
    if (!in_ || remaining() < static_cast<std::int64_t>(count))
        XLIB_THROW("Can't read data from stream");
    if (in_->read(bytes, count) < count) XLIB_THROW("Can't read data from stream");
}

void Archive::writeBuffer(const void* bytes, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<std::uint32_t>::max()))
        XLIB_THROW("Can't write data to stream");
    std::int32_t length = static_cast<std::int32_t>(static_cast<std::uint32_t>(count));
    serializeInt(length, true, *this);
    if (count > 0) write(bytes, count);
}

void Archive::writeBuffer(const std::vector<std::uint8_t>& buffer) {
    writeBuffer(buffer.data(), buffer.size());
}

void Archive::readBuffer(std::vector<std::uint8_t>& buffer) {
    if (remaining() < 4) XLIB_THROW("Can't read data from stream: not enough data");
    std::int32_t length = 0;
    serializeInt(length, false, *this);
    const auto count = static_cast<std::uint32_t>(length);
    if (remaining() < static_cast<std::int64_t>(count))
        XLIB_THROW("Can't read data from stream: not enough data");
    buffer.resize(count);
    if (count > 0) read(buffer.data(), count);
}

void serializeInt(std::int32_t& value, bool storing, Archive& archive) {
    unsigned char bytes[4];
    if (storing) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
        archive.write(bytes, sizeof bytes);
        return;
    }
    archive.read(bytes, sizeof bytes);
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    value = static_cast<std::int32_t>(bits);
}

void serializeString(std::string& value, bool storing, Archive& archive) {
    if (storing) {
        // The terminating zero travels with the characters.
        archive.writeBuffer(value.c_str(), value.size() + 1);
        return;
    }
    std::vector<std::uint8_t> block;
    archive.readBuffer(block);
    if (block.size() <= 1) {
        value.clear();
        return;
    }
    block.back() = 0;  // a block without its terminator is cut by one character
    value.assign(reinterpret_cast<const char*>(block.data()));
}

bool serializeVersion(bool storing, Archive& archive) {
    constexpr std::int32_t kVersion = 3;
    std::int32_t version = kVersion;
    serializeInt(version, storing, archive);
    return version == kVersion;
}

}  // namespace xlib
