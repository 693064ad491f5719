#pragma once

#include <memory>

#include "app/widgets/CMyListCtrl.h"

namespace engine {
class PageEntry;
class WebItem;
}  // namespace engine

namespace app {

class ElementListModel;
class RawValueSortModel;

// The element list: the current page's items with their figures at the chosen connection,
// sorted by raw values, its columns reshaped by the user and stored under "SourceList". While a
// download runs anywhere its rows keep their order and Time and Speed are the items' own
// values so far.
class CElementListCtrl : public CMyListCtrl {
    Q_OBJECT

public:
    explicit CElementListCtrl(QWidget* parent = nullptr);
    // The same list stored in another section (a dialog's copy of the list).
    CElementListCtrl(std::string section, QWidget* parent);

    ElementListModel* elementModel() const { return model_; }

    void showPage(std::shared_ptr<engine::PageEntry> page, int connection);
    void setConnection(int connection);
    void setLive(bool live);
    // The page's items progressed: rows are restated in place.
    void refresh();

    // The item of the current row (none).
    std::shared_ptr<engine::WebItem> currentItem() const;
    // Makes the item's row current and shows it; false when the page has no such item.
    bool selectItem(const engine::WebItem* item);

signals:
    void currentItemChanged(std::shared_ptr<engine::WebItem> item);

private:
    void defineColumns();
    void selectFirstWhenNone();

    ElementListModel* model_;
    RawValueSortModel* sorted_;
};

}  // namespace app
