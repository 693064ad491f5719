#pragma once

#include <QDialog>

#include <memory>

namespace engine {
class PageEntry;
class WebItem;
}  // namespace engine

namespace app {

class ElementPropertiesModel;
class PropertyListCtrl;

// "Element Information": one element's details as its page shows it. User-interface thread only.
class CObjectDetailsDlg : public QDialog {
    Q_OBJECT

public:
    // `connection` is the index the views show (0 to 10).
    CObjectDetailsDlg(std::shared_ptr<engine::PageEntry> page,
                      std::shared_ptr<engine::WebItem> item, int connection,
                      QWidget* parent = nullptr);
    ~CObjectDetailsDlg() override;

    // The element progressed: its rows are read again.
    void refresh();

    PropertyListCtrl* propertyList() const { return properties_; }

private:
    ElementPropertiesModel* rows_;
    PropertyListCtrl* properties_;
};

}  // namespace app
