#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/crawl/SiteTree.h"
#include "engine/figures/PageFigures.h"
#include "engine/schedule/SiteManager.h"
#include "export/HarImport.h"
#include "report/PageSnapshot.h"
#include "tests/engine/RecordingSink.h"

namespace exporttest {

// A hand-written HAR file of tests/export/har.
inline std::string harFixture(const std::string& name) {
    return std::string(PAGELYST_HAR_FIXTURES) + "/" + name;
}

// A folder of its own under the system's temporary folder, removed with what is in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pagelyst-har-import-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

// A site tree over a manager of its own, whose messages are recorded, graded as the programs
// grade: HAR files are imported into it.
class ImportedPages : public ::testing::Test {
protected:
    ImportedPages() {
        tree_.setPageAnalysis([](engine::PageEntry& page) { report::analyseAndStore(page); });
    }

    exporting::HarImport import(const std::string& path) {
        return exporting::importHar(tree_, path);
    }

    // The only page `path` holds, with its figures at `connection`.
    std::shared_ptr<engine::PageEntry> importOne(const std::string& path) {
        const exporting::HarImport imported = import(path);
        EXPECT_EQ(imported.error, "");
        EXPECT_EQ(imported.nodes.size(), 1u);
        return imported.nodes.empty() ? nullptr : imported.nodes.front()->page;
    }

    // The item of `figures` whose address is `url` (a test failure when there is none).
    static const engine::ItemFigures& item(const engine::PageFigures& figures,
                                           const std::string& url) {
        for (const engine::ItemFigures& entry : figures.items)
            if (entry.item->address().urlText == url) return entry;
        ADD_FAILURE() << url << " is not an item of the page";
        static const engine::ItemFigures none{
            std::make_shared<engine::WebItem>(engine::ParsedUrl::parse("http://none/")),
            -1,
            0,
            {},
            0,
            {}};
        return none;
    }

    // The address of the item's parent in `figures`, "" for the page's document.
    static std::string parentOf(const engine::PageFigures& figures, const std::string& url) {
        const int parent = item(figures, url).parent;
        return parent < 0 ? std::string()
                          : figures.items[static_cast<std::size_t>(parent)].item->address().urlText;
    }

    std::shared_ptr<enginetest::RecordingSink> sink_ =
        std::make_shared<enginetest::RecordingSink>();
    engine::SiteManager manager_{engine::SiteManager::Role::Interactive, sink_};
    engine::SiteTree tree_{manager_};
    TempFolder folder_;
};

}  // namespace exporttest
