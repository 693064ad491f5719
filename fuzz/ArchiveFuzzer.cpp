// Loads arbitrary bytes through the Archive's loading routines in a sequence chosen by the input
// itself. Loading must fail cleanly with xlib::Exception and never allocate more than the input
// holds (run with -malloc_limit_mb to catch a length trusted before it was checked).
#include <Archive>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the sequence of reads: two bits per step.
    const unsigned plan = data[0];
    xlib::MemoryInputStream in(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    xlib::Archive archive(in);
    try {
        for (int step = 0; in.remaining() > 0; step = (step + 1) % 4) {
            std::int32_t n = 0;
            std::string s;
            std::vector<std::uint8_t> block;
            switch ((plan >> (2 * step)) & 3) {
                case 0:
                    xlib::serializeInt(n, false, archive);
                    break;
                case 1:
                    xlib::serializeString(s, false, archive);
                    break;
                case 2:
                    archive.readBuffer(block);
                    break;
                default:
                    xlib::serializeVersion(false, archive);
                    break;
            }
            if (block.size() > size || s.size() > size) __builtin_trap();
        }
    } catch (const xlib::Exception&) {
    }
    return 0;
}
