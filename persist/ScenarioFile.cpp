#include "persist/ScenarioFile.h"

#include <cstdint>

namespace persist {
namespace {

// Children of every page, and the top-level pages, in list order.
struct Shape {
    std::vector<int> roots;
    std::vector<std::vector<int>> children;
};

Shape shapeOf(const Scenario& pages) {
    Shape shape;
    shape.children.resize(pages.size());
    for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
        const int parent = pages[i].parent;
        if (parent >= 0 && parent < i)
            shape.children[parent].push_back(i);
        else
            shape.roots.push_back(i);  // an inconsistent parent is saved as a top-level page
    }
    return shape;
}

void writeCount(xlib::Archive& archive, std::size_t count) {
    std::int32_t n = static_cast<std::int32_t>(count);
    xlib::serializeInt(n, true, archive);
}

}  // namespace

void ScenarioFile::write(xlib::Archive& archive, const Scenario& pages) {
    xlib::serializeVersion(true, archive);
    const Shape shape = shapeOf(pages);
    writeCount(archive, shape.roots.size());
    // Depth first with an explicit stack of pages still to write, last child on top.
    std::vector<int> pending(shape.roots.rbegin(), shape.roots.rend());
    while (!pending.empty()) {
        const int page = pending.back();
        pending.pop_back();
        std::string address = pages[page].address;
        xlib::serializeString(address, true, archive);
        const auto& kids = shape.children[page];
        writeCount(archive, kids.size());
        pending.insert(pending.end(), kids.rbegin(), kids.rend());
    }
}

std::optional<Scenario> ScenarioFile::read(xlib::Archive& archive) {
    if (!xlib::serializeVersion(false, archive)) return std::nullopt;
    std::int32_t roots = 0;
    xlib::serializeInt(roots, false, archive);
    if (roots < 0) return std::nullopt;

    // Each open level remembers its page and how many of its children are still to come.
    struct Level {
        int page;
        std::int32_t left;
    };
    Scenario pages;
    std::vector<Level> open{{-1, roots}};
    while (!open.empty()) {
        if (open.back().left == 0) {
            open.pop_back();
            continue;
        }
        --open.back().left;
        ScenarioPage page{{}, open.back().page};
        xlib::serializeString(page.address, false, archive);
        std::int32_t children = 0;
        xlib::serializeInt(children, false, archive);
        if (children < 0) return std::nullopt;
        pages.push_back(std::move(page));
        open.push_back({static_cast<int>(pages.size()) - 1, children});
    }
    return pages;
}

bool ScenarioFile::save(const std::string& path, const Scenario& pages, std::string* reason) {
    xlib::SaveStream file(path);
    try {
        xlib::Archive archive(file);
        write(archive, pages);
        file.commit();
        return true;
    } catch (const xlib::Exception& error) {
        if (reason) *reason = xlib::saveFailureReason(file, error);
        return false;
    }
}

std::optional<Scenario> ScenarioFile::load(const std::string& path) {
    xlib::FileStream file;
    file.open(path, xlib::FileStream::Disposition::OpenExisting, xlib::FileStream::Access::Read);
    try {
        xlib::Archive archive(file.input());
        return read(archive);
    } catch (const xlib::Exception&) {
        return std::nullopt;
    }
}

}  // namespace persist
