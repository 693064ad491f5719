#pragma once

#include <vector>

#include "app/settings/CSettingsPage.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace app {

class CMyListCtrl;

// "Customize": the visible columns and their order for each customisable list. The page edits
// its own copy of every list's choice; confirmation applies them to the lists.
class CSettingsPageCustomize : public CSettingsPage {
    Q_OBJECT

public:
    // The lists by their titles, in this order; not owned, and they must outlive the page.
    explicit CSettingsPageCustomize(std::vector<CMyListCtrl*> lists, QWidget* parent = nullptr);

    bool validate() override { return true; }
    void apply() override;

    // Chooses the list whose columns the page shows (the list that asked for the page).
    void selectList(const CMyListCtrl* list);
    int selectedList() const;
    // The visible columns of the chosen list as the page has them, in display order.
    std::vector<int> visibleColumns() const;
    std::vector<int> hiddenColumns() const;

    QComboBox* listBox() const { return listBox_; }
    QListWidget* visibleList() const { return visible_; }
    QListWidget* hiddenList() const { return hidden_; }
    QPushButton* showButton() const { return show_; }
    QPushButton* hideButton() const { return hide_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }
    QPushButton* resetButton() const { return resetButton_; }
    QPushButton* resetAllButton() const { return resetAll_; }

    void showSelected();
    void hideSelected();
    void moveSelected(int step);
    void resetList();
    void resetAllLists();

private:
    void keepShown();
    void fill();
    void updateEnabled();
    std::vector<int> defaultVisible(const CMyListCtrl& list) const;

    std::vector<CMyListCtrl*> lists_;
    std::vector<std::vector<int>> chosen_;  // per list: visible column numbers in order
    std::vector<bool> reset_;               // per list: back to its defining widths too
    int shown_ = -1;                        // the list the widgets show
    QComboBox* listBox_;
    QListWidget* visible_;
    QListWidget* hidden_;
    QPushButton* show_;
    QPushButton* hide_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* resetButton_;
    QPushButton* resetAll_;
};

}  // namespace app
