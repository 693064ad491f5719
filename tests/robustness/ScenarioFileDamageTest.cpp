// Scenario files cut short and bit-flipped, read both as a page list and into the site tree: a
// load either reads the file or gives nothing, and the document then shows "Invalid file format."
// over an empty tree, whatever the tree held before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "engine/crawl/ScenarioDocument.h"
#include "engine/crawl/SiteTree.h"
#include "engine/http/ConnectionPool.h"
#include "engine/schedule/MessageQueue.h"
#include "engine/schedule/SiteManager.h"
#include "persist/ScenarioFile.h"
#include "tests/robustness/DamagedCopies.h"

namespace {

using engine::ScenarioDocument;
using persist::Scenario;
using persist::ScenarioFile;
using robustness::DamagedCopy;

class ScenarioFileDamage : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-robust-scenario-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path() const { return (dir_ / "site.wsa").string(); }

    std::filesystem::path dir_;
    engine::ConnectionPool pool_;
    engine::SiteManager manager_{engine::SiteManager::Role::Interactive,
                                 std::make_shared<engine::MessageQueue>(), pool_};
    engine::SiteTree tree_{manager_};
};

// Two sites three levels deep, listed depth first as a save writes them.
Scenario userScenario() {
    Scenario pages;
    const auto add = [&pages](std::string address, int parent) {
        pages.push_back({std::move(address), parent});
        return static_cast<int>(pages.size()) - 1;
    };
    const int home = add("http://www.example.com/", -1);
    const int news = add("http://www.example.com/news/", home);
    add("http://www.example.com/news/2024/01.html", news);
    add("http://www.example.com/news/2024/02.html?page=2&sort=date", news);
    const int shop = add("http://www.example.com/shop/", home);
    add("http://www.example.com/shop/cart", shop);
    add("http://www.example.com/contact.html", home);
    const int other = add("https://other.example.org:8443/", -1);
    const int docs = add("https://other.example.org:8443/docs/index.html", other);
    add("https://other.example.org:8443/docs/caf%C3%A9.html#top", docs);
    add("http://third.example.net/", -1);
    return pages;
}

void fillTree(engine::SiteTree& tree) {
    tree.clear();
    engine::SiteNode* root = tree.addPage("http://before.example/", nullptr);
    tree.addPage("http://before.example/a", root);
    tree.addPage("http://before.example/b", root);
}

TEST_F(ScenarioFileDamage, EveryCutAndFlipLoadsOrLeavesNothingAndAnEmptyTree) {
    const Scenario saved = userScenario();
    ASSERT_TRUE(ScenarioFile::save(path(), saved));
    const std::string original = robustness::readBytes(path());
    ASSERT_EQ(ScenarioFile::load(path()), saved);

    ScenarioDocument document(tree_);
    robustness::Tally tally;
    for (const DamagedCopy& copy : robustness::damagedCopies(original, 20240603)) {
        SCOPED_TRACE(copy.what);
        robustness::writeBytes(path(), copy.bytes);
        const std::optional<Scenario> pages = ScenarioFile::load(path());
        tally.count(copy, pages.has_value());

        fillTree(tree_);
        ASSERT_TRUE(document.save((dir_ / "before.wsa").string(), false));
        const std::optional<std::string> message = document.load(path());
        if (!pages) {
            ASSERT_EQ(message, std::string("Invalid file format."));
            ASSERT_TRUE(tree_.empty());
            ASSERT_TRUE(tree_.displayOrder().empty());
            ASSERT_EQ(document.path(), "");
            continue;
        }
        if (copy.truncated) {
            ASSERT_EQ(*pages, saved);
        }
        for (std::size_t i = 0; i < pages->size(); ++i) {
            ASSERT_GE((*pages)[i].parent, -1);
            ASSERT_LT((*pages)[i].parent, static_cast<int>(i));  // parents come first
        }
        ASSERT_EQ(message, std::nullopt);
        ASSERT_EQ(document.path(), path());
        ASSERT_EQ(tree_.displayOrder().size(), pages->size());
    }
    tally.print("scenario (*.wsa)", "nothing (\"Invalid file format.\" over an empty tree)");
    EXPECT_GE(tally.fellBack(), static_cast<int>(original.size()));
}

}  // namespace
