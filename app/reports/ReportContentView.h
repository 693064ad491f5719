#pragma once

#include <QTreeView>

namespace app {

// The content editor's list: "Field" takes a third of the width and "Value" the rest. Return
// and Enter ask for the selected row to be edited instead of pressing the dialog's default
// button.
class ReportContentView : public QTreeView {
    Q_OBJECT

public:
    explicit ReportContentView(QWidget* parent = nullptr);

signals:
    void editRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace app
