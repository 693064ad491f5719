#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/platform/RecordingProgram.h"
#include "tests/platform/TempHome.h"

namespace {

using testing_support::RecordingProgram;

// An address as a user might copy it: spaces, both quotes, ";", a command substitution and a
// variable, none of which may be read by a shell.
const std::string kAwkwardAddress =
    "http://example.test/a b/?q=\"1\";echo 'x' && $(touch /tmp/no) `id` $HOME|cat>x";

TEST(Shell, StartsTheProgramWithTheArgumentAsGiven) {
    testing_support::TempHome home;
    RecordingProgram program(home.path(), "browser");
    ASSERT_TRUE(platform::openWith(program.path().string(), kAwkwardAddress));
    const auto recorded = program.wait();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argumentCount, 1);
    EXPECT_EQ(recorded->argument, kAwkwardAddress);
}

TEST(Shell, ReturnsAtOnceAndReapsTheProgramWhenItEnds) {
    testing_support::TempHome home;
    RecordingProgram program(home.path(), "slow", /*gated=*/true);
    // The program cannot end before it is released, so the call has not waited for it.
    ASSERT_TRUE(platform::openWith(program.path().string(), "http://a.test/"));
    EXPECT_FALSE(program.hasRecorded());
    program.release();
    const auto recorded = program.wait();
    ASSERT_TRUE(recorded);
    // A child nobody waits for would stay as a zombie, whose id still answers.
    EXPECT_TRUE(RecordingProgram::eventually([&] { return RecordingProgram::gone(recorded->pid); }))
        << "the ended program was not reaped";
}

TEST(Shell, ReportsAProgramThatCannotBeStarted) {
    testing_support::TempHome home;
    EXPECT_FALSE(platform::openWith("", "http://a.test/"));
    EXPECT_FALSE(platform::openWith((home.path() / "missing").string(), "http://a.test/"));
    EXPECT_FALSE(platform::openWith("pagelyst-no-such-program-on-path", "http://a.test/"));
    const auto plain = home.path() / "not-executable";
    testing_support::writeFile(plain, "#!/bin/sh\n");
    EXPECT_FALSE(platform::openWith(plain.string(), "http://a.test/"));
}

TEST(Shell, OpensAnAddressWithXdgOpenFromThePath) {
    testing_support::TempHome home;
    RecordingProgram opener(home.path(), "xdg-open");
    const char* path = std::getenv("PATH");
    testing_support::ScopedEnv searched("PATH",
                                        home.path().string() + ":" + (path ? path : "/usr/bin"));
    ASSERT_TRUE(platform::openAddress(kAwkwardAddress));
    const auto recorded = opener.wait();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argumentCount, 1);
    EXPECT_EQ(recorded->argument, kAwkwardAddress);
}

}  // namespace
