#include "engine/base/LoadPhase.h"
#include "engine/items/ErrorText.h"
#include "engine/items/StatusText.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ErrorText, TellingRowsOfTheLongTable) {
    EXPECT_EQ(engine::errorText(0), "No error.");
    EXPECT_EQ(engine::errorText(12001), "No more handles could be generated at this time.");
    EXPECT_EQ(engine::errorText(12002), "The request has timed out.");
    EXPECT_EQ(engine::errorText(12005), "The URL is invalid.");
    EXPECT_EQ(engine::errorText(12007), "The server name could not be resolved.");
    EXPECT_EQ(engine::errorText(12029), "The attempt to connect to the server failed.");
    EXPECT_EQ(engine::errorText(12030), "The connection with the server has been terminated.");
    EXPECT_EQ(engine::errorText(12031), "The connection with the server has been reset.");
    EXPECT_EQ(engine::errorText(12150), "The requested header could not be located.");
    EXPECT_EQ(engine::errorText(12152), "The server response could not be parsed.");
}

TEST(ErrorText, TheLongTableHasSixtyDistinctRows) {
    std::set<int> codes{0};
    for (int c = 12001; c <= 12033; ++c) codes.insert(c);
    for (int c = 12036; c <= 12043; ++c) codes.insert(c);
    for (int c : {12110, 12111}) codes.insert(c);
    for (int c = 12130; c <= 12138; ++c) codes.insert(c);
    for (int c = 12150; c <= 12156; ++c) codes.insert(c);
    ASSERT_EQ(codes.size(), 60u);
    std::set<std::string> texts;
    for (int c : codes) {
        const std::string text = engine::errorText(c);
        EXPECT_NE(text, "Unknown error,") << c;
        EXPECT_EQ(text.back(), '.') << c;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 60u);
}

TEST(ErrorText, ShortTableFillsTheGaps) {
    EXPECT_EQ(engine::errorText(8),
              "Not enough memory was available to complete the requested operation");
    EXPECT_EQ(engine::errorText(122), "Internal error");
    EXPECT_EQ(engine::errorText(12157), "Secure channel error");
    EXPECT_EQ(engine::errorText(12170), "Ccertificate has been revoked.");
    EXPECT_EQ(engine::errorText(12175),
              "Errors were found in the Secure Sockets Layer (SSL) certificate sent by the "
              "server");
    EXPECT_EQ(engine::errorText(12185), "Proxy authentication is required");
    // The long table wins where both have a row.
    EXPECT_EQ(engine::errorText(12029), "The attempt to connect to the server failed.");
}

TEST(ErrorText, UnknownNumbers) {
    EXPECT_EQ(engine::errorText(-1), "Unknown error,");
    EXPECT_EQ(engine::errorText(12034), "Unknown error,");
    EXPECT_EQ(engine::errorText(15000), "Unknown error,");
}

TEST(StatusText, RowsAndFallback) {
    EXPECT_EQ(engine::statusText(200), "The request completed successfully.");
    EXPECT_EQ(engine::statusText(404),
              "The server has not found anything matching the requested URI (Uniform Resource "
              "Identifier).");
    EXPECT_EQ(engine::statusText(406), "No responses acceptable to the client were found.");
    EXPECT_EQ(engine::statusText(449),
              "The request should be retried after doing the appropriate action.");
    EXPECT_EQ(engine::statusText(503), "The service is temporarily overloaded.");
    EXPECT_EQ(engine::statusText(306), "Unknown Status Code");
    EXPECT_EQ(engine::statusText(0), "Unknown Status Code");
    EXPECT_EQ(engine::statusText(418), "Unknown Status Code");
}

TEST(LoadPhase, DisplayTextsAndValuesOutsideTheTable) {
    using engine::LoadPhase;
    EXPECT_EQ(engine::phaseText(LoadPhase::Ready), "Ready");
    EXPECT_EQ(engine::phaseText(LoadPhase::Skipped), "Skipped");
    EXPECT_EQ(engine::phaseText(static_cast<LoadPhase>(8)), "");
    EXPECT_EQ(engine::phaseText(static_cast<LoadPhase>(-1)), "");
}

}  // namespace
