#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/shell/AppView.h"
#include "report/ReportSource.h"

class QMenu;
class QTimer;

namespace engine {
class SiteTree;
}
namespace report {
class FilterConditionList;
class ReportManager;
}  // namespace report

namespace app {

class CMoreHtmlView;
class CReportListCtrl;
class PdfWriter;
class CTabPane;
class ViewHost;

// The dialogs the view opens on the report manager: the "Create New Report" wizard (the new
// report's id, none when cancelled), the content editor of a stored report (true when it
// changed) and the style editor (the style set to start on).
struct ReportEditors {
    std::function<std::optional<std::int32_t>(QWidget*, report::ReportManager&)> create;
    std::function<bool(QWidget*, report::ReportManager&, std::int32_t)> modify;
    std::function<void(QWidget*, report::ReportManager&, std::int32_t)> editStyles;
};

// What the view reads besides the current page: the site tree's pages for the consolidated
// report, the highlighting conditions the analysis reports name, and whether work runs (the
// analysis reports wait for it to end).
struct ReportSources {
    engine::SiteTree& tree;
    const report::FilterConditionList& conditions;
    std::function<bool()> busy;
};

// The Reports view: the report choice in its "Report Type..." pane and the selected report over
// the current page beside it, shown again whenever the choice, the page, its state or the
// connection changes. Its menu lists every report; Export writes the shown report as HTML,
// Print prints it, Export as PDF writes it as a PDF file.
class CReportDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    static constexpr const char* kExportFilter =
        "HTML Files (*.html;*.htm)|*.html; *.htm|All Files (*.*)|*.*||";
    static constexpr const char* kPdfFilter = "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||";

    CReportDlg(ViewHost& host, report::ReportManager& reports, ReportSources sources,
               ReportEditors editors);
    ~CReportDlg() override;

    QWidget* widget() override { return this; }
    CTabPane* tabPane() override { return pane_; }
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    void fillMenu(QMenu& menu) override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void runEnded() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void conditionsChanged() override;
    void saveState() override;
    std::vector<QWidget*> focusPanes() override;
    std::vector<std::pair<int, QWidget*>> ownHints() override;

    // The report shown (1, 2 or a stored report's id).
    std::int32_t selectedId() const { return selected_; }
    // Makes the report the selected one and shows it; an id that names no report is ignored.
    void chooseReport(std::int32_t id);
    // Fills the list (and asks for the menu again) when the report manager changed.
    void refreshReports();
    // The report list's context menu for its selected row.
    std::unique_ptr<QMenu> makeContextMenu();
    // The HTML the view shows for the selected report now.
    QString content() const;
    // Writes the shown report to a PDF file at `path`; pdfExported tells the outcome.
    void exportPdfTo(const QString& path);

    CReportListCtrl* reportList() const { return list_; }
    CMoreHtmlView* htmlView() const { return html_; }

signals:
    void pdfExported(const QString& path, bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<report::ReportSource> source() const;
    bool exists(std::int32_t id) const;
    void showReport();
    void markDirty();
    void rowActivated(std::int32_t id);
    void newReport();
    void modifyReport(std::int32_t id);
    void deleteReport(std::int32_t id);
    void editStyles();
    void exportReport();
    void exportPdf();
    // "Error exporting data.", with the cause beneath it when one is known.
    void exportFailed(const std::string& cause);

    ViewHost& host_;
    report::ReportManager& reports_;
    ReportSources sources_;
    ReportEditors editors_;
    CMoreHtmlView* html_;
    CReportListCtrl* list_;
    CTabPane* pane_;
    PdfWriter* pdf_;
    QTimer* watch_;
    QString shown_;
    std::int32_t selected_ = 2;
    bool dirty_ = true;     // the report is shown again when the view shows
    bool changed_ = false;  // an engine message of this batch changes what is shown
};

}  // namespace app
