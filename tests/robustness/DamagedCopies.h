// Damaged copies of a valid file, and the tally each damage suite prints: the file cut short at
// every byte offset, then single bit flips at seeded random positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace robustness {

struct DamagedCopy {
    std::string bytes;
    bool truncated = false;  // a prefix of the original; otherwise one bit flipped
    std::string what;        // for failure messages
};

inline constexpr int kBitFlips = 300;

// Every proper prefix of `original` (lengths 0 to size - 1), then `flips` copies with one bit
// flipped each, at positions drawn from a generator seeded with `seed`.
inline std::vector<DamagedCopy> damagedCopies(const std::string& original, std::uint32_t seed,
                                              int flips = kBitFlips) {
    std::vector<DamagedCopy> copies;
    copies.reserve(original.size() + static_cast<std::size_t>(flips));
    for (std::size_t length = 0; length < original.size(); ++length)
        copies.push_back({original.substr(0, length), true, "cut at " + std::to_string(length)});
    if (original.empty()) return copies;
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    for (int i = 0; i < flips; ++i) {
        DamagedCopy copy{original, false, {}};
        const std::size_t at = position(random);
        const int flipped = bit(random);
        copy.bytes[at] =
            static_cast<char>(static_cast<unsigned char>(copy.bytes[at]) ^ (1u << flipped));
        copy.what =
            "bit " + std::to_string(flipped) + " of byte " + std::to_string(at) + " flipped";
        copies.push_back(std::move(copy));
    }
    return copies;
}

// Counts what the loads made of the damaged copies and prints the one-line summary.
class Tally {
public:
    void count(const DamagedCopy& copy, bool loaded) {
        ++(copy.truncated ? truncations_ : flips_);
        ++(loaded ? loaded_ : fellBack_);
    }
    int loaded() const { return loaded_; }
    int fellBack() const { return fellBack_; }

    // "lmstat.cfg: 1234 truncations, 300 bit flips: 1200 loaded, 334 fell back to the built-ins"
    std::string line(const std::string& file, const std::string& fallback) const {
        std::ostringstream out;
        out << file << ": " << truncations_ << " truncations, " << flips_
            << " bit flips: " << loaded_ << " loaded, " << fellBack_ << " fell back to "
            << fallback;
        return out.str();
    }
    void print(const std::string& file, const std::string& fallback) const {
        std::cout << line(file, fallback) << std::endl;
    }

private:
    int truncations_ = 0;
    int flips_ = 0;
    int loaded_ = 0;
    int fellBack_ = 0;
};

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace robustness
