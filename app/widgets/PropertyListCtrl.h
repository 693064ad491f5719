#pragma once

#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/PropertyListModel.h"

namespace app {

// A customisable two-column list of information rows ("Property", "Value") whose group captions
// run across both columns however often the rows are read again (a reset forgets the spans, so
// they are laid anew after each).
class PropertyListCtrl : public CMyListCtrl {
    Q_OBJECT

public:
    // `section` is where the layout is stored, `title` the name the Customize page lists.
    PropertyListCtrl(std::string section, const QString& title, QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

private:
    void spanGroups();
};

}  // namespace app
