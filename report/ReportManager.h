#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <Archive>

#include "query/QueryTable.h"
#include "report/Report.h"
#include "report/ReportStyle.h"

namespace report {

// Every report definition and style set of the program, iterated in ascending id, plus the
// "Default" style set that every run has and no file holds. One instance lives on the
// user-interface thread for the whole run.
//
// "lmreprt.cfg" holds the version word 3, the last report id and last style id handed out,
// the report records and the style records (see docs/reports.md).
class ReportManager {
public:
    static constexpr const char* kFileName = "lmreprt.cfg";
    // Report ids are handed out above this; ids below it name the two analysis reports.
    static constexpr std::int32_t kReportIdBase = 100;

    using Reports = std::map<std::int32_t, Report>;
    using Styles = std::map<std::int32_t, ReportStyle>;

    // Empty collections and the "Default" style set; load() fills the collections.
    ReportManager();

    // Deletes every report and style set and restarts both id counters; "Default" stays.
    void clear();

    // Gives the report the next id and takes it over. Returns the id, or 0 (nothing added)
    // when a damaged file left no id to hand out.
    std::int32_t addReport(Report report);
    // Puts `report` under `id`, replacing the report there if any; the report keeps that id.
    void replaceReport(std::int32_t id, Report report);
    // A missing id is not an error; the change stamp moves either way.
    void removeReport(std::int32_t id);
    // Same contract as addReport, for style sets.
    std::int32_t addStyle(ReportStyle style);
    // Deletes the set if present. The change stamp stays: no report list names style sets,
    // and reports that used the set render with "Default" from now on.
    void removeStyle(std::int32_t id);
    // Replaces the text of a class already present in the stored set `styleId`. False, and
    // nothing changed, for "Default" (id 0, never stored, so an edit would not outlive the
    // run), an unknown set or class, or the same text. The change stamp stays: a class text
    // is in no list, and rendering reads the sets afresh each time.
    bool setStyleClass(std::int32_t styleId, const std::string& className,
                       const std::string& declarations);

    const Reports& reports() const { return reports_; }
    const Styles& styles() const { return styles_; }
    // Null when no report has this id.
    const Report* findReport(std::int32_t id) const;
    // The style set with this id; "Default" for 0 and for any id not held.
    const ReportStyle& findStyle(std::int32_t styleId) const;
    const std::string& styleName(std::int32_t styleId) const { return findStyle(styleId).name(); }
    // ("Default", 0) first, then every stored set in ascending id: the style choosers' list.
    std::vector<std::pair<std::int32_t, std::string>> listStyles() const;
    const ReportStyle& defaultStyle() const { return defaultStyle_; }

    std::int32_t lastReportId() const { return lastReportId_; }
    std::int32_t lastStyleId() const { return lastStyleId_; }
    // Moves at every change of the report collection and at every added set; views that list
    // reports rebuild their lists when it differs from the value they last saw. Strictly
    // increasing.
    std::uint32_t changeStamp() const { return changeStamp_; }

    // Adds the seven built-in reports (ids 101 to 107 after a clear).
    void createBuiltInReports();
    // Adds "Fancy", "Blue", "Invert" and "Gray" (ids 1 to 4 after a clear).
    void createBuiltInStyles();

    // The HTML of the report with this id over `elements` (null: no element table), or "" when
    // there is no such report. A Table item's query::QueryError passes through.
    std::string renderReport(std::int32_t id, const query::QueryTable* elements) const;

    // Reads the definitions file at `path`. When it is missing, of another version or damaged
    // in any way, the collections hold exactly the built-ins afterwards. Returns whether the
    // file was read.
    bool load(const std::string& path);
    // load() from any stream (the fuzz target reads from memory).
    bool load(xlib::InputStream& in);
    // Writes through a temporary file renamed over `path`, so a failed save leaves the old
    // file intact. Returns false when the file could not be written.
    bool save(const std::string& path) const;
    void save(xlib::OutputStream& out) const;

    // Both directions of the file's layout; loading replaces the collections. Throws
    // xlib::Exception, leaving whatever was read so far.
    void serialize(bool storing, xlib::Archive& archive);

private:
    void rebuildBuiltIns();
    void touch();
    void readRecords(xlib::Archive& archive);

    Reports reports_;
    Styles styles_;
    ReportStyle defaultStyle_;
    std::int32_t lastReportId_ = kReportIdBase;
    std::int32_t lastStyleId_ = 0;
    std::uint32_t changeStamp_ = 0;
};

}  // namespace report
