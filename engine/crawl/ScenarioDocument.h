#pragma once

#include <optional>
#include <string>

#include "engine/crawl/SiteTree.h"
#include "persist/ScenarioFile.h"

namespace engine {

// The site tree as a document: saved to and loaded from "*.wsa" scenario files, which keep
// the pages' addresses and shape and nothing measured.
class ScenarioDocument {
public:
    static constexpr const char* kInvalidFormat = "Invalid file format.";

    explicit ScenarioDocument(SiteTree& tree) : tree_(tree) {}

    // The file the tree came from or was last saved to; empty when none.
    const std::string& path() const { return path_; }

    // The tree reduced to what a save writes. Without `autoFlag` a node is written when it is
    // marked or kept; with it also when its page finished loading or it has child pages. A node
    // left out takes its whole subtree with it.
    static persist::Scenario collect(const SiteTree& tree, bool autoFlag);

    // Saves the tree to `path`, which becomes the document's path. False when the file could
    // not be written, with the system's reason in `reason`; the previous file is then kept.
    bool save(const std::string& path, bool autoFlag, std::string* reason = nullptr);

    // Replaces the tree with the scenario at `path`: every page marked and Ready, nothing
    // queued. On any failure the tree is left empty, the path cleared, and the message to show
    // ("Invalid file format.") is returned.
    std::optional<std::string> load(const std::string& path);

private:
    SiteTree& tree_;
    std::string path_;
};

}  // namespace engine
