#include "engine/base/Clock.h"

#include <chrono>

namespace engine {
namespace {

class SteadyClock final : public Clock {
public:
    std::uint32_t now() const override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        // Truncation to 32 bits is the tick counter's wrap.
        return static_cast<std::uint32_t>(ms.count());
    }
};

}  // namespace

const Clock& Clock::steady() {
    static const SteadyClock clock;
    return clock;
}

}  // namespace engine
