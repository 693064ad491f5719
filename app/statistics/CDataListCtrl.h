#pragma once

#include <QTreeView>

#include "query/StatisticsView.h"

namespace app {

class DataListModel;
class RawValueSortModel;

// The result list of the statistics view: one row per result row, its columns as the query
// names them and as wide as their texts need (never more than 300 pixels by themselves), sorted
// by raw values when a header is clicked.
class CDataListCtrl : public QTreeView {
    Q_OBJECT

public:
    explicit CDataListCtrl(QWidget* parent = nullptr);

    // Replaces the list's content with a Shown result (anything else empties it).
    void showResult(query::StatisticsResult result);
    void clear();

    DataListModel* dataModel() const { return model_; }
    RawValueSortModel* sortModel() const { return sorted_; }

private:
    DataListModel* model_;
    RawValueSortModel* sorted_;
};

}  // namespace app
