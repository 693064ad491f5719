#pragma once

#include <QWizardPage>

#include <cstdint>

class QComboBox;
class QLineEdit;

namespace query {
class StatisticsCatalog;
}

namespace app {

// The wizard's first page: the new definition's title and the definition it starts from.
class CNewStatPP1 : public QWizardPage {
    Q_OBJECT

public:
    // Lists the catalogue's titles sorted alphabetically after an empty "none" entry.
    explicit CNewStatPP1(const query::StatisticsCatalog& catalog, QWidget* parent = nullptr);

    QString title() const;
    // The definition chosen under "Based on"; 0 for none.
    std::int32_t basedOn() const;

    QLineEdit* titleField() const { return title_; }
    QComboBox* basedOnBox() const { return basedOn_; }

private:
    QLineEdit* title_;
    QComboBox* basedOn_;
};

}  // namespace app
