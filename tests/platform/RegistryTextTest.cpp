#include "platform/RegistryText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>

namespace {

using platform::formatRegistryText;
using platform::parseRegistryText;
using platform::RegistryData;
using platform::RegistryNode;
using platform::RegistryType;

RegistryData intValue(std::string name, std::int32_t n) {
    return {std::move(name), RegistryType::Int, n, {}};
}
RegistryData textValue(std::string name, std::string text) {
    return {std::move(name), RegistryType::String, 0, std::move(text)};
}

std::string wrap(const std::string& body) {
    return std::string(platform::kFirstLine) + "\n" + body + std::string(platform::kLastLine) +
           "\n";
}

TEST(RegistryTextTest, WritesReadableLinesForEveryKeyWithValuesOrWithoutSubKeys) {
    RegistryNode root;
    auto& connection = root.create({"SOFTWARE", "Quorvantix", "ZORV", "Settings", "Connection"});
    connection.setValue(intValue("Proxy", 2));
    connection.setValue(textValue("ProxyServer", "proxy.example"));
    root.create({"SOFTWARE", "Quorvantix", "ZORV", "Empty"});

    EXPECT_EQ(formatRegistryText(root),
              wrap("\n[SOFTWARE\\Quorvantix\\ZORV\\Empty]\n"
                   "\n[SOFTWARE\\Quorvantix\\ZORV\\Settings\\Connection]\n"
                   "\"Proxy\"=int:2\n"
                   "\"ProxyServer\"=\"proxy.example\"\n\n"));
}

TEST(RegistryTextTest, EveryTextAndNumberSurvivesTheRoundTrip) {
    const std::string awkward[] = {
        "",
        "plain",
        "quote \" and backslash \\ and \\x41 literally",
        "line\nbreak\r\tand\x01\x1f\x7f controls",
        std::string("embedded\0zero", 13),
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",  // well-formed UTF-8 stays as it is
        "\xFF\xFE lone \x80 bytes \xC3 cut \xED\xA0\x80 surrogate",
        std::string(300, 'x'),
    };
    RegistryNode root;
    auto& key = root.create({"Key with spaces", "[brackets]", "caf\xC3\xA9"});
    int i = 0;
    for (const auto& text : awkward) key.setValue(textValue("t" + std::to_string(i++), text));
    for (const std::int32_t n : {0, -1, 1, INT32_MIN, INT32_MAX})
        key.setValue(intValue("n" + std::to_string(n), n));
    key.setValue(textValue("name \"with\"\nbreak", "v"));
    root.setValue(intValue("at the root", 7));

    const std::string text = formatRegistryText(root);
    ASSERT_TRUE(platform::isValidUtf8(text));
    const auto parsed = parseRegistryText(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(formatRegistryText(*parsed), text);

    const RegistryNode* back = parsed->find({"key WITH spaces", "[BRACKETS]", "caf\xC3\xA9"});
    ASSERT_NE(back, nullptr);
    i = 0;
    for (const auto& expected : awkward) {
        const RegistryData* value = back->value("t" + std::to_string(i++));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, RegistryType::String);
        EXPECT_EQ(value->text, expected);
    }
    ASSERT_NE(back->value("n-2147483648"), nullptr);
    EXPECT_EQ(back->value("n-2147483648")->number, INT32_MIN);
    ASSERT_NE(back->value("NAME \"WITH\"\nBREAK"), nullptr);
    ASSERT_NE(parsed->value("At The Root"), nullptr);
}

TEST(RegistryTextTest, EmptyStoreRoundTrips) {
    const RegistryNode empty;
    const auto parsed = parseRegistryText(formatRegistryText(empty));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->childCount(), 0u);
    EXPECT_EQ(parsed->valueCount(), 0u);
}

// A store cut short anywhere must not pass for a smaller store.
TEST(RegistryTextTest, EveryTruncationIsRecognised) {
    RegistryNode root;
    auto& key = root.create({"SOFTWARE", "A"});
    key.setValue(intValue("PageLimit", 150));
    key.setValue(textValue("Name", "someone"));
    root.create({"SOFTWARE", "B", "C"}).setValue(intValue("x", 12345));
    const std::string text = formatRegistryText(root);

    for (std::size_t length = 0; length + 1 < text.size(); ++length)
        EXPECT_FALSE(parseRegistryText(text.substr(0, length)).has_value()) << length;
    // Losing only the final line end loses nothing.
    EXPECT_TRUE(parseRegistryText(text.substr(0, text.size() - 1)).has_value());
}

struct RejectCase {
    const char* what;
    std::string text;
    friend void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.what; }
};

class RegistryTextRejects : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RegistryTextRejects, DamagedText) {
    EXPECT_FALSE(parseRegistryText(GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, RegistryTextRejects,
    ::testing::Values(RejectCase{"empty", ""},
                      RejectCase{"no last line", std::string(platform::kFirstLine)},
                      RejectCase{"other first line", "; settings\n; end of store\n"},
                      RejectCase{"binary", std::string("\x7f"
                                                       "ELF\x02\x01\x01\0\0\0",
                                                       10)},
                      RejectCase{"zero byte", wrap(std::string("[a]\n\"x\"=\"a\0b\"\n", 14))},
                      RejectCase{"not UTF-8", wrap("[a]\n\"x\"=\"\xFF\"\n")},
                      RejectCase{"stray carriage return", wrap("[a]\r\"x\"=int:1\n")},
                      RejectCase{"value before any key", wrap("\"x\"=int:1\n")},
                      RejectCase{"unknown escape", wrap("[a]\n\"x\"=\"\\q\"\n")},
                      RejectCase{"short hex escape", wrap("[a]\n\"x\"=\"\\x4\"\n")},
                      RejectCase{"unterminated text", wrap("[a]\n\"x\"=\"abc\n")},
                      RejectCase{"text after the value", wrap("[a]\n\"x\"=\"abc\" junk\n")},
                      RejectCase{"number too large", wrap("[a]\n\"x\"=int:2147483648\n")},
                      RejectCase{"number with plus", wrap("[a]\n\"x\"=int:+5\n")},
                      RejectCase{"number missing", wrap("[a]\n\"x\"=int:\n")},
                      RejectCase{"number with spaces", wrap("[a]\n\"x\"=int: 5\n")},
                      RejectCase{"unknown type", wrap("[a]\n\"x\"=dword:5\n")},
                      RejectCase{"no equals sign", wrap("[a]\n\"x\" int:5\n")},
                      RejectCase{"empty key name", wrap("[a\\\\b]\n")},
                      RejectCase{"trailing backslash", wrap("[a\\]\n")},
                      RejectCase{"key name too long", wrap("[" + std::string(256, 'k') + "]\n")},
                      RejectCase{"value name too long",
                                 wrap("[a]\n\"" + std::string(16384, 'v') + "\"=int:1\n")},
                      RejectCase{"indented line", wrap("[a]\n \"x\"=int:1\n")},
                      RejectCase{"lines after the end", wrap("[a]\n") + "[b]\n"}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(RegistryTextTest, ToleratesWhatAnEditorMightDo) {
    const std::string edited =
        "; Pagelyst settings store, format 1\r\n"
        "; my proxy settings\r\n"
        "[Settings\\Connection]\r\n"
        "\"Proxy\"=int:1\r\n"
        "[settings\\CONNECTION]\r\n"
        "\"proxy\"=int:2\r\n"
        "\"Tab\"=\"a\tb\"\r\n"
        "; end of store";
    const auto parsed = parseRegistryText(edited);
    ASSERT_TRUE(parsed.has_value());
    const RegistryNode* key = parsed->find({"Settings", "Connection"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->valueCount(), 2u);
    ASSERT_NE(key->value("Proxy"), nullptr);
    EXPECT_EQ(key->value("Proxy")->number, 2);  // the later line wins
    EXPECT_EQ(key->value("Proxy")->name, "Proxy");
    EXPECT_EQ(key->value("tab")->text, "a\tb");
}

}  // namespace
