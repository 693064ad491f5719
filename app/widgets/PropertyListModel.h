#pragma once

#include <QAbstractTableModel>

#include <memory>
#include <vector>

#include "engine/items/WebItem.h"
#include "engine/schedule/PageEntry.h"
#include "report/ElementInformation.h"
#include "report/FilterConditionList.h"
#include "report/PageInformation.h"

namespace app {

// Information rows in two columns, "Property" and "Value": group captions in bold (the list
// spans them across both columns), a matching condition on its highlight colour. A list of a few
// rows, so a change resets it.
class PropertyListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PropertyListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRows(std::vector<report::InformationRow> rows);
    const std::vector<report::InformationRow>& rows() const { return rows_; }

private:
    std::vector<report::InformationRow> rows_;
};

// A page's information rows (report::pageInformation) for the connection the views show, read
// again on refresh() while the page loads or when the conditions change.
class PagePropertiesModel : public PropertyListModel {
    Q_OBJECT

public:
    PagePropertiesModel(const report::FilterConditionList& conditions, report::InformationForm form,
                        QObject* parent = nullptr);

    // Shows the page for the connection; none empties the list.
    void show(std::shared_ptr<engine::PageEntry> page, int connection);
    void refresh();
    const std::shared_ptr<engine::PageEntry>& page() const { return page_; }

private:
    const report::FilterConditionList& conditions_;
    const report::InformationForm form_;
    std::shared_ptr<engine::PageEntry> page_;
    int connection_ = 0;
};

// One item's information rows (report::elementInformation) as one page shows it, for the
// connection the views show, read again on refresh() while the item loads. The title chooses the
// caption of its first group.
class ElementPropertiesModel : public PropertyListModel {
    Q_OBJECT

public:
    explicit ElementPropertiesModel(report::ElementRowsTitle title, QObject* parent = nullptr);

    // Shows the page's item for the connection; no page or no item empties the list.
    void show(std::shared_ptr<engine::PageEntry> page, std::shared_ptr<engine::WebItem> item,
              int connection);
    void refresh();
    const std::shared_ptr<engine::PageEntry>& page() const { return page_; }
    const std::shared_ptr<engine::WebItem>& item() const { return item_; }

private:
    const report::ElementRowsTitle title_;
    std::shared_ptr<engine::PageEntry> page_;
    std::shared_ptr<engine::WebItem> item_;
    int connection_ = 0;
};

}  // namespace app
