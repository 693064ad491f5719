#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

#include "engine/settings/EngineSettings.h"
#include "report/FilterConditionList.h"

class QTabWidget;

namespace app {

class CMyListCtrl;
class CSettingsPage;

// The settings sheet "Settings": its pages edit copies, and only confirming the sheet (after
// every page accepted its values) hands them on and writes them to the store. It opens on the
// page that was active when a sheet was last confirmed in this run.
class CSettingsSheet : public QDialog {
    Q_OBJECT

public:
    enum Page { kConnectionPage = 0, kOperationPage = 1, kConditionsPage = 2, kCustomizePage = 3 };

    // `conditions` is replaced (and stored) on confirmation; the caller then has every page
    // evaluated again. `lists` are the customisable lists by title (not owned; they must
    // outlive the sheet), given their chosen columns on confirmation.
    CSettingsSheet(const engine::EngineSettings& settings, report::FilterConditionList& conditions,
                   std::vector<CMyListCtrl*> lists = {}, QWidget* parent = nullptr);
    ~CSettingsSheet() override;

    // The engine settings as confirmed (as given while the sheet is not confirmed).
    const engine::EngineSettings& engineSettings() const { return settings_; }

    void setCurrentPage(int index);
    // Shows the "Customize" page with this list chosen (the list's "Customize" entry).
    void showCustomize(const CMyListCtrl* list);
    int currentPage() const;
    int pageCount() const { return static_cast<int>(pages_.size()); }
    CSettingsPage* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }

    // The page active at the last confirmation (the first page before any).
    static int lastConfirmedPage();

    // The Settings command: the sheet over a copy of `settings`, on the Customize page for
    // `customize` when given; the confirmed engine settings (already stored), or none when the
    // user cancelled. `conditions` is replaced on confirmation.
    static std::optional<engine::EngineSettings> run(QWidget* parent,
                                                     const engine::EngineSettings& settings,
                                                     report::FilterConditionList& conditions,
                                                     std::vector<CMyListCtrl*> lists,
                                                     const CMyListCtrl* customize);
    // Stands in for the user of every later sheet that run() opens: it gets the sheet and
    // returns what exec() would. None restores the modal sheet.
    using Runner = std::function<int(CSettingsSheet&)>;
    static void setRunner(Runner runner);

public slots:
    // Confirms: refused, on the page of the bad value, while a page does not accept its values.
    void accept() override;

private:
    void addPage(CSettingsPage* page);

    engine::EngineSettings settings_;  // what the program uses until confirmation
    engine::EngineSettings edited_;    // what the pages write into
    QTabWidget* tabs_;
    std::vector<CSettingsPage*> pages_;
};

}  // namespace app
