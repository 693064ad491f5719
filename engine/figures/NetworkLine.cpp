#include "engine/figures/NetworkLine.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace engine {
namespace {

constexpr std::uint64_t kKilo = 1'000;
constexpr std::uint64_t kMega = 1'000'000;

const std::array<NetworkLine, 8>& lines() {
    static const std::array<NetworkLine, 8> table{{
        // A widely used online page-test service's fibre profile.
        {"Fibre", 20 * kMega, 5 * kMega, 4},
        // The same service's cable profile.
        {"Cable", 5 * kMega, 1 * kMega, 28},
        // The same service's DSL profile.
        {"DSL", 1500 * kKilo, 384 * kKilo, 50},
        // The same service's LTE profile.
        {"LTE", 12 * kMega, 12 * kMega, 70},
        // The same service's 4G profile.
        {"4G", 9 * kMega, 9 * kMega, 170},
        // A widely used browser auditor's mobile default (its simulated throttling).
        {"Slow 4G", 1600 * kKilo, 750 * kKilo, 150},
        // The online page-test service's 3G profile.
        {"3G", 1600 * kKilo, 768 * kKilo, 300},
        // A browser's developer tools' slowest network preset.
        {"Slow 3G", 400 * kKilo, 400 * kKilo, 400},
    }};
    return table;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool sameWords(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// "1.6M" and the like; none when it is not such a number or lies outside 1 to the most.
std::optional<std::uint64_t> bitsPerSecond(std::string_view text) {
    text = trim(text);
    if (text.empty()) return std::nullopt;
    double factor = 1;
    switch (std::tolower(static_cast<unsigned char>(text.back()))) {
        case 'k':
            factor = 1e3;
            break;
        case 'm':
            factor = 1e6;
            break;
        case 'g':
            factor = 1e9;
            break;
        default:
            break;
    }
    if (factor != 1) text.remove_suffix(1);
    // Digits with at most one point, at least one digit: no sign, exponent or blanks inside.
    std::size_t digits = 0, points = 0;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1 || digits > 15) return std::nullopt;
    double number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const double bits = std::round(number * factor);
    if (bits < 1 || bits > static_cast<double>(kMostBitsPerSecond)) return std::nullopt;
    return static_cast<std::uint64_t>(bits);
}

std::optional<std::uint32_t> roundTrip(std::string_view text) {
    text = trim(text);
    if (text.size() > 2 && sameWords(text.substr(text.size() - 2), "ms"))
        text = trim(text.substr(0, text.size() - 2));
    if (text.empty() || text.size() > 6) return std::nullopt;
    std::uint32_t ms = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (ec != std::errc() || end != text.data() + text.size() || ms > kMostRoundTripMs)
        return std::nullopt;
    return ms;
}

}  // namespace

std::span<const NetworkLine> namedLines() {
    return lines();
}

std::optional<NetworkLine> parseNetworkLine(std::string_view text, std::string& error) {
    text = trim(text);
    for (const NetworkLine& line : lines())
        if (sameWords(line.name, text)) return line;
    const std::size_t first = text.find('/');
    const std::size_t second = first == std::string_view::npos ? first : text.find('/', first + 1);
    if (second == std::string_view::npos || text.find('/', second + 1) != std::string_view::npos) {
        error = "unknown line \"" + std::string(text) +
                "\": give a named line or DOWN/UP/RTT such as 1.6M/750K/150";
        return std::nullopt;
    }
    const std::optional<std::uint64_t> down = bitsPerSecond(text.substr(0, first));
    const std::optional<std::uint64_t> up =
        bitsPerSecond(text.substr(first + 1, second - first - 1));
    const std::optional<std::uint32_t> rtt = roundTrip(text.substr(second + 1));
    if (!down || !up) {
        error = "bad bandwidth in \"" + std::string(text) +
                "\": bits per second from 1 to 100G, with an optional K, M or G";
        return std::nullopt;
    }
    if (!rtt) {
        error =
            "bad round trip in \"" + std::string(text) + "\": whole milliseconds from 0 to 60000";
        return std::nullopt;
    }
    return NetworkLine{std::string(text), *down, *up, *rtt};
}

}  // namespace engine
