#include "cli/RunProgress.h"

#include <ostream>
#include <string>

#include "engine/crawl/SiteTree.h"
#include "query/TextTable.h"

namespace cli {

namespace {

// Keeps the line from wrapping on a narrow terminal and from carrying control characters.
std::string shown(const std::string& address) {
    constexpr std::size_t kWidth = 60;
    std::string text;
    for (const char c : address)
        text += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    return text.size() > kWidth ? "..." + text.substr(text.size() - kWidth + 3) : text;
}

}  // namespace

void RunProgress::update(const engine::SiteTree& tree) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::size_t done = 0;
    std::size_t total = 0;
    const engine::PageEntry* current = nullptr;
    for (const engine::SiteNode* node : tree.displayOrder()) {
        ++total;
        const engine::PageState state = node->page->state();
        if (engine::isLoaded(state) || state == engine::PageState::Canceled) ++done;
        if (state == engine::PageState::InProcess) current = node->page.get();
    }
    std::string line = "pages " + std::to_string(done) + "/" + std::to_string(total);
    if (current != nullptr) {
        line += ", elements " + std::to_string(current->finishedCount()) + "/" +
                std::to_string(current->expectedCount()) + ", " + shown(current->address().urlText);
    }
    err_ << "\r\033[K" << line << std::flush;
    drawn_ = true;
}

void RunProgress::finish() {
    if (drawn_) err_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

}  // namespace cli
