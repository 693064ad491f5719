#pragma once

#include <QDialog>
#include <QString>

#include "app/analysis/SourceFind.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

// The modeless find dialog of the source view: it stays open while the user searches, and each
// "Find Next" asks its owner to search with the text and options shown.
class CFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit CFindDialog(QWidget* parent = nullptr);

    QString findWhat() const;
    void setFindWhat(const QString& text);
    FindOptions options() const;
    void setOptions(FindOptions options);

signals:
    void findNext(const QString& text, app::FindOptions options);

private:
    QLineEdit* findWhat_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
};

}  // namespace app
