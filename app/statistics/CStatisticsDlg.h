#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/shell/AppView.h"

class QMenu;
class QTimer;

namespace query {
class StatisticsCatalog;
}

namespace app {

class CDataListCtrl;
class CStatListCtrl;
class CTabPane;
class ViewHost;

// The dialogs that create and modify definitions; true when the catalogue changed.
struct StatisticsEditors {
    std::function<bool(QWidget*, query::StatisticsCatalog&)> create;
    std::function<bool(QWidget*, query::StatisticsCatalog&, std::int32_t)> modify;
};

// The Statistics view: the definitions in the "Statistics Type" pane and the current
// definition's result over the current page beside it; its menu lists every definition, and
// Export writes the result as comma-separated text.
class CStatisticsDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    // The file filter of the export dialog.
    static constexpr const char* kExportFilter =
        "Comma Separated Values (*.csv)|*.csv|All Files (*.*)|*.*||";

    CStatisticsDlg(ViewHost& host, query::StatisticsCatalog& catalog, StatisticsEditors editors);
    ~CStatisticsDlg() override;

    QWidget* widget() override { return this; }
    CTabPane* tabPane() override { return pane_; }
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    void fillMenu(QMenu& menu) override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void saveState() override;
    std::vector<QWidget*> focusPanes() override;

    // The definition whose result is shown (0: none).
    std::int32_t currentId() const { return current_; }
    // Makes the definition current and shows its result.
    void chooseDefinition(std::int32_t id);
    // Fills the list (and asks for the menu again) when the catalogue changed.
    void refreshDefinitions();
    // The definitions list's context menu for its selected row.
    std::unique_ptr<QMenu> makeContextMenu();

    CStatListCtrl* definitionList() const { return definitions_; }
    CDataListCtrl* resultList() const { return results_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void newDefinition();
    void modifyDefinition(std::int32_t id);
    void deleteDefinition(std::int32_t id);
    void rowActivated(std::int32_t id);
    void showResult();
    void exportResult();
    // Keeps the current definition one that exists after the catalogue changed.
    void keepCurrentValid();

    ViewHost& host_;
    query::StatisticsCatalog& catalog_;
    StatisticsEditors editors_;
    CDataListCtrl* results_;
    CStatListCtrl* definitions_;
    CTabPane* pane_;
    QTimer* watch_;
    std::int32_t current_ = 0;
    bool resultDirty_ = true;  // the result is recomputed when the view shows
    bool progressed_ = false;
};

}  // namespace app
