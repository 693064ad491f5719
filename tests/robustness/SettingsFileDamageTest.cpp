// The settings store's file cut short and bit-flipped, read through the typed settings: a read
// either finds the stored values or, for a damaged file, finds none of them (every caller uses
// its default), with the damaged bytes kept aside and the next write starting a clean store.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "persist/SettingsStore.h"
#include "platform/RegistryText.h"
#include "tests/platform/TempHome.h"
#include "tests/robustness/DamagedCopies.h"

namespace {

namespace fs = std::filesystem;
using robustness::DamagedCopy;

struct Value {
    std::string section;
    std::string name;
    std::optional<std::int32_t> number;  // else text
    std::string text;
};

// What a user's settings look like: numbers (one negative), texts with quotes, a backslash, a
// tab and accented letters, in nested sections.
const std::vector<Value>& userValues() {
    static const std::vector<Value> values = {
        {"Settings", "PageLimit", 150, {}},
        {"Settings", "Levels", 3, {}},
        {"Settings", "FilePos", -1, {}},
        {"Settings\\Connection", "ProxyServer", {}, "proxy.example:3128"},
        {"Settings\\Connection", "Password", {}, "se\"cr\\et\tpass"},
        {"Settings\\Connection", "Type", 7, {}},
        {"Main Window\\ToolTips", "Show", 1, {}},
        {"Main Window", "Title", {}, "Caf\xc3\xa9 \xe2\x80\x94 pages"},
        {"Recent Addresses", "1", {}, "http://www.example.com/news/?a=1&b=2"},
        {"Recent Addresses", "2", {}, "https://other.example.org:8443/docs/"},
        {"Tip", "TimeStamp", {}, "1717243200"},
    };
    return values;
}

// Reads every value; true for those that came back as stored, false for those that came back
// missing (so their default applies). A value that reads as something else is neither.
struct Reading {
    int asStored = 0;
    int missing = 0;
};

Reading readAll() {
    Reading reading;
    for (const Value& value : userValues()) {
        if (value.number) {
            const auto number = persist::readIntValue(value.section, value.name);
            if (number == value.number) ++reading.asStored;
            if (!number) {
                ++reading.missing;
                EXPECT_EQ(persist::readIntValue(value.section, value.name, 4711), 4711);
            }
        } else {
            const auto text = persist::readStringValue(value.section, value.name);
            if (text == value.text) ++reading.asStored;
            if (!text) ++reading.missing;
        }
    }
    return reading;
}

TEST(SettingsFileDamage, EveryCutAndFlipReadsTheValuesOrTheDefaults) {
    const testing_support::TempHome home;
    for (const Value& value : userValues()) {
        if (value.number) {
            ASSERT_TRUE(persist::writeIntValue(value.section, value.name, *value.number));
        } else {
            ASSERT_TRUE(persist::writeStringValue(value.section, value.name, value.text));
        }
    }
    const fs::path store = home.userStore();
    const fs::path aside = store.string() + ".damaged-1";
    const std::string original = robustness::readBytes(store);
    ASSERT_EQ(readAll().asStored, static_cast<int>(userValues().size()));
    const int all = static_cast<int>(userValues().size());

    robustness::Tally tally;
    for (const DamagedCopy& copy : robustness::damagedCopies(original, 20240604)) {
        SCOPED_TRACE(copy.what);
        fs::remove(aside);
        robustness::writeBytes(store, copy.bytes);
        const bool parses = platform::parseRegistryText(copy.bytes).has_value();
        const Reading reading = readAll();
        const bool loaded = fs::exists(store) && !fs::exists(aside);
        tally.count(copy, loaded);
        ASSERT_EQ(loaded, parses);
        if (loaded) {
            // A file cut short is never taken for a complete one: only the last line's end
            // may be missing.
            if (copy.truncated) {
                ASSERT_EQ(reading.asStored, all);
            }
            // A flipped bit may have changed a name or a value; the file itself stays untouched.
            if (!copy.truncated) {
                ASSERT_EQ(robustness::readBytes(store), copy.bytes);
            }
            continue;
        }
        // Damaged: not one value survives, the bytes are kept for inspection, and the next
        // write starts a store of its own.
        ASSERT_EQ(reading.missing, all);
        ASSERT_FALSE(fs::exists(store));
        ASSERT_EQ(robustness::readBytes(aside), copy.bytes);
        ASSERT_TRUE(persist::writeIntValue("After", "Damage", 1));
        ASSERT_EQ(persist::readIntValue("After", "Damage"), 1);
        ASSERT_EQ(readAll().missing, all);
        ASSERT_EQ(robustness::readBytes(aside), copy.bytes);
    }
    tally.print("settings store (current-user.conf)", "the defaults");
    EXPECT_GE(tally.fellBack(), static_cast<int>(original.size()) - 1);
}

}  // namespace
