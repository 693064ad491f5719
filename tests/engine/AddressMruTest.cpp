#include "engine/settings/AddressMru.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/SettingsStore.h"
#include "platform/RegistryKey.h"
#include "tests/platform/TempHome.h"

namespace {

using engine::AddressMru;
using Strings = std::vector<std::string>;

class AddressMruTest : public ::testing::Test {
protected:
    static std::optional<std::string> stored(const std::string& name) {
        return persist::readStringValue("AddrMRU", name);
    }

    testing_support::TempHome home_;
};

TEST_F(AddressMruTest, AnAddressAddedTwiceIsKeptOnce) {
    AddressMru mru;
    mru.mruAdd("http://example.com/");
    mru.mruAdd("http://example.com/  ");
    mru.mruAdd("\thttp://example.com/");
    mru.mruAdd("");
    mru.mruAdd("http://example.com/other");
    EXPECT_EQ(mru.entries(), (Strings{"http://example.com/", "http://example.com/other"}));
}

// Typed text is trimmed of the C locale's spaces only: a control character is part of the entry.
TEST_F(AddressMruTest, DuplicatesAreFoundAfterTrimmingSpacesNotControls) {
    engine::AddressMru mru;
    mru.mruAdd("http://example.com/");
    mru.mruAdd("\vhttp://example.com/\f");
    mru.mruAdd("\x01http://example.com/");
    EXPECT_EQ(mru.entries(),
              (std::vector<std::string>{"http://example.com/", "\x01http://example.com/"}));
}

TEST_F(AddressMruTest, ThreeEntriesSaveAsNumberedValuesWithTheirCount) {
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru7", "old entry"));
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "current", "http://old/"));

    AddressMru mru;
    for (const char* address : {"http://a.example/", "b.example", "https://c.example/x"})
        mru.mruAdd(address);
    mru.setBarText("www.typed.example");
    ASSERT_TRUE(mru.mruSave());

    EXPECT_EQ(stored("mru0"), "http://a.example/");
    EXPECT_EQ(stored("mru1"), "b.example");
    EXPECT_EQ(stored("mru2"), "https://c.example/x");
    EXPECT_EQ(persist::readIntValue("AddrMRU", "mru_end"), 3);
    EXPECT_EQ(stored("last"), "http://www.typed.example");  // completed as typed addresses are
    // The section was replaced as a whole.
    EXPECT_EQ(stored("mru3"), std::nullopt);
    EXPECT_EQ(stored("mru7"), std::nullopt);
    EXPECT_EQ(stored("current"), std::nullopt);

    AddressMru loaded;
    loaded.mruLoad();
    EXPECT_EQ(loaded.entries(), mru.entries());
}

TEST_F(AddressMruTest, LoadingStopsAtTheFirstGap) {
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru0", "http://first/"));
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru2", "http://third/"));
    ASSERT_TRUE(persist::writeIntValue("AddrMRU", "mru_end", 3));
    AddressMru mru;
    mru.mruLoad();
    EXPECT_EQ(mru.entries(), (Strings{"http://first/"}));
}

TEST_F(AddressMruTest, EmptyEntriesAreSkippedWithoutEndingTheLoad) {
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru0", ""));
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru1", "http://second/"));
    ASSERT_TRUE(persist::writeIntValue("AddrMRU", "mru_end", 2));
    AddressMru mru;
    mru.mruLoad();
    EXPECT_EQ(mru.entries(), (Strings{"http://second/"}));
}

TEST_F(AddressMruTest, CurrentAddressJoinsTheListAndFillsTheBar) {
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru0", "http://a/"));
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru1", "http://b/"));
    ASSERT_TRUE(persist::writeIntValue("AddrMRU", "mru_end", 2));
    ASSERT_TRUE(AddressMru::saveCurrent("http://a/ "));

    AddressMru mru;
    mru.mruAdd("http://stale/");
    mru.mruLoad();
    EXPECT_EQ(mru.entries(), (Strings{"http://a/", "http://b/"}));  // "current" was a duplicate
    EXPECT_EQ(mru.barText(), "http://a/ ");

    ASSERT_TRUE(AddressMru::saveCurrent("http://c/"));
    mru.mruLoad();
    EXPECT_EQ(mru.entries(), (Strings{"http://a/", "http://b/", "http://c/"}));
    EXPECT_EQ(mru.barText(), "http://c/");
}

TEST_F(AddressMruTest, WithoutACountOnlyTheCurrentAddressLoads) {
    ASSERT_TRUE(persist::writeStringValue("AddrMRU", "mru0", "http://a/"));
    AddressMru mru;
    mru.setBarText("kept");
    mru.mruLoad();
    EXPECT_TRUE(mru.entries().empty());
    EXPECT_EQ(mru.barText(), "kept");
}

TEST_F(AddressMruTest, LongAddressesLoadCutTo255Characters) {
    const std::string address = "http://example.com/" + std::string(300, 'p');
    AddressMru mru;
    mru.mruAdd(address);
    ASSERT_TRUE(mru.mruSave());
    AddressMru loaded;
    loaded.mruLoad();
    EXPECT_EQ(loaded.entries(), (Strings{address.substr(0, 255)}));
}

struct CompletionCase {
    const char* typed;
    Strings offered;
};

class AddressCompletionTest : public AddressMruTest,
                              public ::testing::WithParamInterface<CompletionCase> {};

TEST_P(AddressCompletionTest, OffersEntriesBeginningWithTheTypedText) {
    AddressMru mru;
    for (const char* address : {"http://www.example.com/", "https://secure.example.org/",
                                "www.plain.net", "  http://padded.com  "})
        mru.mruAdd(address);
    EXPECT_EQ(mru.candidates(GetParam().typed), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, AddressCompletionTest,
    ::testing::Values(CompletionCase{"www", {"http://www.example.com/", "www.plain.net"}},
                      CompletionCase{"secure", {"https://secure.example.org/"}},
                      CompletionCase{"http://www", {"http://www.example.com/"}},
                      CompletionCase{"  padded ", {"  http://padded.com  "}},
                      CompletionCase{"WWW", {}},  // case counts
                      CompletionCase{"example", {}}, CompletionCase{"ftp://", {}},
                      CompletionCase{"",
                                     {"http://www.example.com/", "https://secure.example.org/",
                                      "www.plain.net", "  http://padded.com  "}}));

TEST_F(AddressMruTest, ReloadingNeverOffersAnAddressTwice) {
    AddressMru mru;
    mru.mruAdd("http://a/");
    ASSERT_TRUE(mru.mruSave());
    mru.mruLoad();
    mru.mruLoad();
    EXPECT_EQ(mru.candidates("a"), (Strings{"http://a/"}));
}

TEST(CompleteTyped, AddsHttpOnlyWhenNoSchemeIsGiven) {
    EXPECT_EQ(engine::completeTyped("www.example.com"), "http://www.example.com");
    EXPECT_EQ(engine::completeTyped("  www.example.com "), "http://www.example.com");
    EXPECT_EQ(engine::completeTyped("   https://secure.example/"), "   https://secure.example/");
    EXPECT_EQ(engine::completeTyped("http://x"), "http://x");
    EXPECT_EQ(engine::completeTyped("HTTP://x"), "HTTP://x");
    EXPECT_EQ(engine::completeTyped("file:///tmp/a.html"), "file:///tmp/a.html");
    EXPECT_EQ(engine::completeTyped("ftp://x"), "http://ftp://x");
}

}  // namespace
