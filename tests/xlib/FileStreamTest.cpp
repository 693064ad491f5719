#include <Archive>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using Disposition = xlib::FileStream::Disposition;
using Access = xlib::FileStream::Access;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("pagelyst-xlib-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    static void writeFile(const std::string& p, const std::string& content) {
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

TEST_F(FileTest, RoundTripThroughFileStream) {
    xlib::FileStream out;
    ASSERT_TRUE(out.open(path("a.bin"), Disposition::CreateAlways, Access::Write));
    EXPECT_EQ(out.remaining(), 0);
    {
        xlib::Archive a(out.output());
        std::string s = "hello";
        std::int32_t n = 42;
        xlib::serializeString(s, true, a);
        xlib::serializeInt(n, true, a);
    }
    out.close();

    xlib::FileStream in;
    ASSERT_TRUE(in.open(path("a.bin"), Disposition::OpenExisting, Access::Read));
    EXPECT_EQ(in.remaining(), 14);
    xlib::Archive a(in.input());
    std::string s;
    std::int32_t n = 0;
    xlib::serializeString(s, false, a);
    xlib::serializeInt(n, false, a);
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(n, 42);
    EXPECT_EQ(in.remaining(), 0);
}

TEST_F(FileTest, FailedOpensSurfaceAtFirstTransfer) {
    xlib::FileStream in;
    EXPECT_FALSE(in.open(path("missing"), Disposition::OpenExisting, Access::Read));
    EXPECT_EQ(in.remaining(), 0);
    xlib::Archive loading(in.input());
    std::int32_t v = 0;
    try {
        xlib::serializeInt(v, false, loading);
        FAIL();
    } catch (const xlib::Exception& e) {
        EXPECT_STREQ(e.message(), "Can't read data from stream");
    }

    xlib::FileStream out;
    EXPECT_FALSE(out.open(path("no/such/folder"), Disposition::CreateAlways, Access::Write));
    xlib::Archive storing(out.output());
    try {
        xlib::serializeInt(v, true, storing);
        FAIL();
    } catch (const xlib::Exception& e) {
        EXPECT_STREQ(e.message(), "Can't write data to stream");
    }
}

TEST_F(FileTest, AnEmptyFileOpensButFailsAtTheFirstInt) {
    writeFile(path("empty"), "");
    xlib::FileStream in;
    ASSERT_TRUE(in.open(path("empty"), Disposition::OpenExisting, Access::Read));
    EXPECT_EQ(in.remaining(), 0);
    xlib::Archive loading(in.input());
    std::int32_t v = 7;
    try {
        xlib::serializeInt(v, false, loading);
        FAIL();
    } catch (const xlib::Exception& e) {
        EXPECT_STREQ(e.message(), "Can't read data from stream");
    }
    EXPECT_EQ(v, 7);
}

TEST_F(FileTest, CreateAlwaysTruncates) {
    writeFile(path("t"), "previous content");
    xlib::FileStream out;
    ASSERT_TRUE(out.open(path("t"), Disposition::CreateAlways, Access::Write));
    EXPECT_EQ(out.remaining(), 0);
    out.write("ab", 2);
    out.close();
    EXPECT_EQ(readFile(path("t")), "ab");
}

TEST_F(FileTest, SaveStreamReplacesOnlyOnCommit) {
    const auto target = path("defs.cfg");
    writeFile(target, "old");
    {
        xlib::SaveStream out(target, 0600);
        xlib::Archive a(out);
        std::string s = "new";
        xlib::serializeString(s, true, a);
        EXPECT_EQ(readFile(target), "old");  // nothing visible before commit
        out.commit();
    }
    EXPECT_EQ(readFile(target), std::string("\x04\0\0\0new\0", 8));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(FileTest, SaveInterruptedByExceptionKeepsOldFile) {
    const auto target = path("scenario.wsa");
    const std::string old = std::string("\x03\0\0\0", 4) + "precious bytes";
    writeFile(target, old);

    // The stream fails after 100 bytes, as a full disk would.
    class FailingAfter : public xlib::OutputStream {
    public:
        explicit FailingAfter(xlib::OutputStream& inner) : inner_(inner) {}
        std::size_t write(const void* b, std::size_t n) override {
            if (written_ + n > 100) return 0;
            written_ += n;
            return inner_.write(b, n);
        }

    private:
        xlib::OutputStream& inner_;
        std::size_t written_ = 0;
    };

    try {
        xlib::SaveStream file(target);
        FailingAfter failing(file);
        xlib::Archive a(failing);
        for (std::int32_t i = 0; i < 1000; ++i) xlib::serializeInt(i, true, a);
        file.commit();
        FAIL() << "the save should have thrown";
    } catch (const xlib::Exception& e) {
        EXPECT_STREQ(e.message(), "Can't write data to stream");
    }
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(entries(), 1u);
}

// Runs in a forked child: a real failing write, as the process may not write more than 4 KB.
// Exits 0 when the save failed with the expected message and the system's reason.
[[noreturn]] void saveWithFileSizeLimit(const std::string& target) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    xlib::SaveStream file(target);
    try {
        xlib::Archive a(file);
        std::string chunk(1000, 'x');
        for (int i = 0; i < 100; ++i) xlib::serializeString(chunk, true, a);
        file.commit();
    } catch (const xlib::Exception& e) {
        const bool told = xlib::saveFailureReason(file, e) == std::strerror(EFBIG);
        std::_Exit(std::string(e.message()) == "Can't write data to stream" && told ? 0 : 2);
    }
    std::_Exit(1);
}

TEST_F(FileTest, SaveHittingTheFileSizeLimitKeepsOldFile) {
    const auto target = path("big.cfg");
    writeFile(target, "old content");
    EXPECT_EXIT(saveWithFileSizeLimit(target), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(target), "old content");
    EXPECT_EQ(entries(), 1u);
}

// Runs in a forked child: killed in the middle of a save, before it could commit.
[[noreturn]] void killedWhileSaving(const std::string& target) {
    xlib::SaveStream file(target);
    xlib::Archive a(file);
    std::string chunk(64 * 1024, 'n');
    for (int i = 0; i < 16; ++i) xlib::serializeString(chunk, true, a);
    ::raise(SIGKILL);
    std::_Exit(1);
}

TEST_F(FileTest, AProcessKilledWhileSavingLeavesNothingBehind) {
    const auto target = path("settings.conf");
    writeFile(target, "old settings");
    EXPECT_EXIT(killedWhileSaving(target), ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(readFile(target), "old settings");
    // The bytes were written to a file without a name: nothing is left beside the target.
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileTest, SaveIntoMissingFolderFailsCleanly) {
    xlib::SaveStream file(path("nowhere/x.cfg"));
    xlib::Archive a(file);
    std::int32_t v = 1;
    EXPECT_THROW(xlib::serializeInt(v, true, a), xlib::Exception);
    EXPECT_THROW(file.commit(), xlib::Exception);
    EXPECT_EQ(file.error(), ENOENT);
}

}  // namespace
