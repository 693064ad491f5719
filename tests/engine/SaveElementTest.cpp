#include "engine/items/SaveElement.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using engine::ContentKind;
using engine::SaveElement;

struct ChoiceCase {
    ContentKind kind;
    const char* objectPath;
    const char* extension;
    const char* filter;
};

class SaveElementChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(SaveElementChoice, ExtensionAndFilterFollowTheContentKind) {
    const ChoiceCase& c = GetParam();
    const SaveElement::DialogChoice choice = SaveElement::choiceFor(c.kind, c.objectPath);
    EXPECT_EQ(choice.extension, c.extension);
    EXPECT_EQ(choice.filter, c.filter);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveElementChoice,
    ::testing::Values(
        ChoiceCase{ContentKind::Html, "x.gif", "html",
                   "HTML Files (*.html)|*.html|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Gif, "", "gif", "GIF Files (*.gif)|*.gif|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Jpeg, "", "jpg", "JPEG Files (*.jpg)|*.jpg|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::ProgressiveJpeg, "", "pjpg",
                   "PJPEG Files (*.pjpg)|*.jpg|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::XBitmap, "", "bmp",
                   "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Script, "", "js",
                   "JavaScript Files (*.js)|*.js|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Flash, "", "swf",
                   "Flash Application Files (*.swf)|*.swf|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Css, "style/site.css", "css",
                   "css Files (*.css)|*.css|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Unknown, "a/b.woff2", "woff2",
                   "woff2 Files (*.woff2)|*.woff2|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Unknown, "doc.markdown", "", "All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::OctetStream, "download", "", "All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Unknown, "v1.2/readme", "", "All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Unknown, "show.php?f=a.b", "php",
                   "php Files (*.php)|*.php|All Files (*.*)|*.*||"},
        ChoiceCase{ContentKind::Unknown, "trailing.", "", "All Files (*.*)|*.*||"}));

class SaveElementFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pagelyst-save-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // An item that received `body`.
    static std::unique_ptr<engine::WebItem> received(std::string body) {
        auto item = std::make_unique<engine::WebItem>(engine::ParsedUrl::parse("http://h/x"));
        item->beginTransfer(item->address());
        engine::TransferOutcome outcome;
        outcome.statusCode = 200;
        outcome.received = body.size();
        outcome.body = std::move(body);
        item->endTransfer(std::move(outcome));
        return item;
    }

    std::string folder_;
};

TEST_F(SaveElementFile, WritesExactlyTheBytesReceivedAndRemembersTheFolder) {
    SaveElement saver;
    EXPECT_EQ(saver.initialFolder(), "");
    const std::string bytes("GIF89a\0\x01\xff\r\n", 11);
    const std::string path = folder_ + "/image.gif";
    std::ofstream(path) << "older content that is longer";
    ASSERT_TRUE(saver.save(*received(bytes), path));
    EXPECT_EQ(read(path), bytes);
    EXPECT_EQ(saver.initialFolder(), folder_);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}

TEST_F(SaveElementFile, AFileThatCannotBeWrittenFailsQuietly) {
    SaveElement saver;
    EXPECT_FALSE(saver.save(*received("abc"), folder_ + "/missing/x.html"));
    EXPECT_EQ(saver.initialFolder(), folder_ + "/missing");  // the user's choice is kept
}

TEST_F(SaveElementFile, AnEmptyBodyMakesAnEmptyFile) {
    SaveElement saver;
    ASSERT_TRUE(saver.save(*received(""), folder_ + "/empty.bin"));
    EXPECT_EQ(std::filesystem::file_size(folder_ + "/empty.bin"), 0u);
}

}  // namespace
