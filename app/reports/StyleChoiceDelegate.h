#pragma once

#include <QStyledItemDelegate>

namespace report {
class ReportManager;
}

namespace app {

// Edits the content editor's "Style" value with a drop-down of the style sets as they are when
// the edit starts ("Default" first, then every stored set); other cells get the standard editor.
class StyleChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit StyleChoiceDelegate(const report::ReportManager& reports, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    void commitAndClose();
    static bool isStyle(const QModelIndex& index);

    const report::ReportManager& reports_;
};

}  // namespace app
