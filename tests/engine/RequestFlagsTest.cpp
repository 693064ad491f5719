#include "engine/http/RequestFlags.h"

#include <gtest/gtest.h>

#include "engine/url/ParsedUrl.h"

namespace {

TEST(RequestFlags, PlainAndSecureRequests) {
    EXPECT_EQ(engine::requestFlags(engine::ParsedUrl::kHttp), 0x84400100u);
    EXPECT_EQ(engine::requestFlags(engine::ParsedUrl::kHttps), 0x84C03100u);
}

}  // namespace
