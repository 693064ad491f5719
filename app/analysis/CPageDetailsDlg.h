#pragma once

#include <QDialog>

#include <memory>

#include "report/FilterConditionList.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace engine {
class PageEntry;
}

namespace app {

class CElementListCtrl;
class ElementPropertiesModel;
class PagePropertiesModel;
class PropertyListCtrl;

// "Page Information": a page's details with the download and browse times of every connection.
// "&More >>" opens the page's elements below them, and the details then follow the element
// chosen there; "&Less <<" closes that list again and the page's details come back. The
// conditions must outlive the dialog. User-interface thread only.
class CPageDetailsDlg : public QDialog {
    Q_OBJECT

public:
    // No page shows "No web page selected.". `connection` is the index the views show (0 to 10).
    CPageDetailsDlg(std::shared_ptr<engine::PageEntry> page, int connection,
                    const report::FilterConditionList& conditions, QWidget* parent = nullptr);
    ~CPageDetailsDlg() override;

    // Whether the element list is open.
    bool expanded() const { return expanded_; }
    void setExpanded(bool expanded);

    // The page progressed: every list reads it again, keeping the chosen element.
    void refresh();

    QLabel* caption() const { return caption_; }
    PropertyListCtrl* propertyList() const { return properties_; }
    CElementListCtrl* elementList() const { return elements_; }
    QPushButton* moreButton() const { return more_; }

private:
    // Moves the dialog up when it grew past the bottom of its screen.
    void keepOnScreen();
    void showDetails();

    std::shared_ptr<engine::PageEntry> page_;
    const int connection_;
    PagePropertiesModel* pageRows_;
    ElementPropertiesModel* elementRows_;
    QLabel* caption_;
    QLabel* noPage_;
    QStackedWidget* stack_;
    PropertyListCtrl* properties_;
    CElementListCtrl* elements_;
    QPushButton* more_;
    bool expanded_ = false;
    int collapsedHeight_ = 0;
};

}  // namespace app
