#include "report/ReportManager.h"

#include <algorithm>
#include <limits>

#include "engine/base/Clock.h"
#include "report/BuiltIns.h"
#include "report/ReportRenderer.h"

namespace report {
namespace {

constexpr std::int32_t kNoIdLeft = std::numeric_limits<std::int32_t>::max();

}  // namespace

ReportManager::ReportManager() : defaultStyle_(makeDefaultStyle()) {}

void ReportManager::touch() {
    changeStamp_ = std::max(engine::Clock::steady().now(), changeStamp_ + 1);
}

void ReportManager::clear() {
    reports_.clear();
    styles_.clear();
    lastReportId_ = kReportIdBase;
    lastStyleId_ = 0;
    touch();
}

std::int32_t ReportManager::addReport(Report report) {
    if (lastReportId_ == kNoIdLeft) return 0;
    const std::int32_t id = ++lastReportId_;
    report.setId(id);
    reports_.insert_or_assign(id, std::move(report));
    touch();
    return id;
}

void ReportManager::replaceReport(std::int32_t id, Report report) {
    report.setId(id);
    reports_.insert_or_assign(id, std::move(report));
    touch();
}

void ReportManager::removeReport(std::int32_t id) {
    reports_.erase(id);
    touch();
}

std::int32_t ReportManager::addStyle(ReportStyle style) {
    if (lastStyleId_ == kNoIdLeft) return 0;
    const std::int32_t id = ++lastStyleId_;
    style.setId(id);
    styles_.insert_or_assign(id, std::move(style));
    touch();
    return id;
}

void ReportManager::removeStyle(std::int32_t id) {
    styles_.erase(id);
}

bool ReportManager::setStyleClass(std::int32_t styleId, const std::string& className,
                                  const std::string& declarations) {
    const auto it = styles_.find(styleId);
    if (it == styles_.end()) return false;
    return it->second.setDeclarations(className, declarations);
}

const Report* ReportManager::findReport(std::int32_t id) const {
    const auto it = reports_.find(id);
    return it == reports_.end() ? nullptr : &it->second;
}

const ReportStyle& ReportManager::findStyle(std::int32_t styleId) const {
    const auto it = styles_.find(styleId);
    return it == styles_.end() ? defaultStyle_ : it->second;
}

std::vector<std::pair<std::int32_t, std::string>> ReportManager::listStyles() const {
    std::vector<std::pair<std::int32_t, std::string>> list{{0, defaultStyle_.name()}};
    for (const auto& [id, style] : styles_) list.emplace_back(id, style.name());
    return list;
}

void ReportManager::createBuiltInReports() {
    for (Report& report : makeBuiltInReports()) addReport(std::move(report));
}

void ReportManager::createBuiltInStyles() {
    for (ReportStyle& style : makeBuiltInStyles()) addStyle(std::move(style));
}

std::string ReportManager::renderReport(std::int32_t id, const query::QueryTable* elements) const {
    const Report* report = findReport(id);
    if (report == nullptr) return {};
    return report::renderReport(*report, findStyle(report->styleId()), elements);
}

void ReportManager::rebuildBuiltIns() {
    clear();
    createBuiltInReports();
    createBuiltInStyles();
}

void ReportManager::serialize(bool storing, xlib::Archive& archive) {
    if (!xlib::serializeVersion(storing, archive)) XLIB_THROW("Unsupported file version");
    xlib::serializeInt(lastReportId_, storing, archive);
    xlib::serializeInt(lastStyleId_, storing, archive);
    if (!storing) {
        readRecords(archive);
        return;
    }
    std::int32_t reportCount = static_cast<std::int32_t>(reports_.size());
    xlib::serializeInt(reportCount, true, archive);
    for (auto& [id, report] : reports_) report.serialize(true, archive);
    std::int32_t styleCount = static_cast<std::int32_t>(styles_.size());
    xlib::serializeInt(styleCount, true, archive);
    for (auto& [id, style] : styles_) style.serialize(true, archive);
}

void ReportManager::readRecords(xlib::Archive& archive) {
    reports_.clear();
    styles_.clear();
    std::int32_t count = 0;
    xlib::serializeInt(count, false, archive);
    for (std::int32_t i = 0; i < count; ++i) {
        Report report;
        report.serialize(false, archive);
        const std::int32_t id = report.id();
        reports_.insert_or_assign(id, std::move(report));
    }
    touch();
    xlib::serializeInt(count, false, archive);
    for (std::int32_t i = 0; i < count; ++i) {
        ReportStyle style;
        style.serialize(false, archive);
        const std::int32_t id = style.id();
        styles_.insert_or_assign(id, std::move(style));
    }
    touch();
    // A damaged counter must never let addReport()/addStyle() hand out an id that is taken,
    // nor a report id in the analysis reports' range.
    lastReportId_ = std::max(lastReportId_, kReportIdBase);
    if (!reports_.empty()) lastReportId_ = std::max(lastReportId_, reports_.rbegin()->first);
    lastStyleId_ = std::max(lastStyleId_, 0);
    if (!styles_.empty()) lastStyleId_ = std::max(lastStyleId_, styles_.rbegin()->first);
}

bool ReportManager::load(const std::string& path) {
    xlib::FileStream file;
    if (!file.open(path, xlib::FileStream::Disposition::OpenExisting,
                   xlib::FileStream::Access::Read)) {
        rebuildBuiltIns();
        return false;
    }
    return load(file.input());
}

bool ReportManager::load(xlib::InputStream& in) {
    try {
        xlib::Archive archive(in);
        serialize(false, archive);
        return true;
    } catch (const xlib::Exception&) {
        rebuildBuiltIns();  // discards whatever was read before the damage
        return false;
    }
}

void ReportManager::save(xlib::OutputStream& out) const {
    xlib::Archive archive(out);
    // serialize() serves both directions; storing changes nothing.
    const_cast<ReportManager*>(this)->serialize(true, archive);
}

bool ReportManager::save(const std::string& path) const {
    try {
        xlib::SaveStream file(path);
        save(file);
        file.commit();
        return true;
    } catch (const xlib::Exception&) {
        return false;
    }
}

}  // namespace report
