#include "export/HarImport.h"

#include <filesystem>

#include "engine/base/Clock.h"
#include "engine/schedule/PageImport.h"
#include "export/HarReader.h"

namespace exporting {
namespace {

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

HarImport importHar(engine::SiteTree& tree, const std::string& path) {
    HarImport imported;
    HarReadResult read = readHarFile(path);
    if (!read.log) {
        imported.error = std::move(read.error);
        return imported;
    }
    // The latest transfer of the file began just now, the others as long before as recorded.
    HarPlan plan = planPages(*read.log, engine::Clock::steady().now());
    imported.summary = plan.summary;
    if (!plan.error.empty()) {
        imported.error = std::move(plan.error);
        return imported;
    }
    const std::string source = std::filesystem::path(path).filename().string();
    for (const PlannedPage& planned : plan.pages) {
        engine::SiteNode* node = tree.addPage(planned.address, nullptr);
        node->stateWord |= engine::SiteNode::kKept;
        engine::importPage(node->page, planned.page, source);
        imported.nodes.push_back(node);
    }
    return imported;
}

std::string importSummaryText(const HarImportSummary& summary, const std::string& source) {
    std::string text = "Imported " + counted(summary.pages, "page", "pages") + " with " +
                       counted(summary.items, "element", "elements");
    if (summary.cached > 0)
        text += " (" + std::to_string(summary.cached) + " from the browser's cache)";
    text += " from " + source;
    std::vector<std::string> left;
    if (summary.notWeb > 0)
        left.push_back(counted(summary.notWeb, "entry", "entries") + " not HTTP or HTTPS");
    if (summary.withoutPage > 0)
        left.push_back(counted(summary.withoutPage, "entry", "entries") +
                       " without a page or a document before it");
    if (summary.emptyPages > 0)
        left.push_back(counted(summary.emptyPages, "page", "pages") + " without entries");
    for (std::size_t i = 0; i < left.size(); ++i)
        text += (i == 0 ? "; left out: " : ", ") + left[i];
    return text + ".";
}

}  // namespace exporting
