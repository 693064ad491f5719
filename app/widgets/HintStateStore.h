#pragma once

#include <optional>

namespace app {

// Where the hint balloons keep their state: one integer per hint number. The hint manager
// takes it as a parameter so that its owner decides which settings it reads and writes.
class HintStateStore {
public:
    virtual ~HintStateStore() = default;
    // The stored state of the hint, or nothing when none is stored or it cannot be read.
    virtual std::optional<int> read(int hint) const = 0;
    // False when the state could not be stored (the balloon closes all the same).
    virtual bool write(int hint, int state) = 0;
};

// The program's settings store: "Main Window\ToolTips", one value per hint named by its number
// in decimal, in the store the environment names (PAGELYST_HOME in tests).
class SettingsHintStore final : public HintStateStore {
public:
    std::optional<int> read(int hint) const override;
    bool write(int hint, int state) override;
};

}  // namespace app
