#pragma once

#include <functional>

#include "app/settings/CSettingsPage.h"
#include "report/FilterConditionList.h"

class QPushButton;

namespace app {

class CMyListCtrl;
class FilterConditionsModel;

// "Conditions": edits a copy of the program's conditions; confirmation replaces the list in
// its order and stores it. The caller then has every page evaluated again.
class CSettingsPageFilters : public CSettingsPage {
    Q_OBJECT

public:
    static constexpr const char* kListSection = "FilterSettingsList";

    // Opens the "Condition" dialog on a condition; true when the user confirmed it.
    using ConditionEditor = std::function<bool(report::FilterCondition&, QWidget* parent)>;

    explicit CSettingsPageFilters(report::FilterConditionList& conditions,
                                  QWidget* parent = nullptr);
    ~CSettingsPageFilters() override;

    bool validate() override { return true; }
    void apply() override;

    CMyListCtrl* list() const { return list_; }
    FilterConditionsModel* model() const { return model_; }
    int selectedRow() const;
    void selectRow(int row);
    QPushButton* newButton() const { return new_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }

    void newCondition();
    void editCondition();
    void removeCondition();
    void moveCondition(int step);

    // None: the "Condition" dialog itself.
    static void setConditionEditor(ConditionEditor editor);

private:
    void updateEnabled();

    report::FilterConditionList& conditions_;
    FilterConditionsModel* model_;
    CMyListCtrl* list_;
    QPushButton* new_;
    QPushButton* edit_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

}  // namespace app
