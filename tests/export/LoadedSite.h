#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/schedule/PageEntry.h"
#include "tests/engine/SiteFixture.h"

namespace exporttest {

// A small loopback site, loaded for real: a root page whose title is "Home" with an image, a
// style sheet and an image that answers 404, and a child page "Child" that shares the root's
// image and has one of its own with a query string.
class LoadedSite : public enginetest::SiteFixture {
protected:
    static constexpr const char* kGif = "GIF89a";

    LoadedSite() {
        page("/", R"(<html><head><title>Home</title><link rel="stylesheet" href="/s.css"></head>
<body><img src="/a.gif"><img src="/missing.gif"><a href="/child.html">child</a></body></html>)");
        page("/child.html", R"(<html><head><title>Child</title></head>
<body><img src="/a.gif"><img src="/b.gif?x=1&y=a%20b"></body></html>)");
        serve("/a.gif", kGif, "image/gif");
        serve("/b.gif", kGif, "image/gif");
        serve("/s.css", "body { color: black }", "text/css");
    }

    void serve(const std::string& path, std::string body, std::string type) {
        server_.get(path, [body = std::move(body), type = std::move(type)](
                              const httplib::Request&, httplib::Response& response) {
            response.set_content(body, type);
        });
    }

    // Loads the root page, then the child page below it; the site tree's order.
    std::vector<std::shared_ptr<engine::PageEntry>> loadSite() {
        auto root = load(url("/"));
        auto child = loadBelow(root, url("/child.html"));
        return {root, child};
    }

    std::shared_ptr<engine::PageEntry> loadBelow(const std::shared_ptr<engine::PageEntry>& parent,
                                                 const std::string& address) {
        auto entry = engine::PageEntry::create(*manager_, address, parent);
        manager_->enqueuePage(entry, engine::kScanAll);
        EXPECT_TRUE(sink_->waitForRunsEnded(++runs_)) << "the run did not end";
        return entry;
    }
};

}  // namespace exporttest
