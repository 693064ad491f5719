#pragma once

#include <QWizardPage>

#include <cstdint>

class QComboBox;
class QLineEdit;

namespace report {
class ReportManager;
}

namespace app {

// The wizard's first page, "New Report": the new report's name, the stored report it starts
// from, its style set and its description.
class CNewReportPropertyPage1 : public QWizardPage {
    Q_OBJECT

public:
    // Lists the stored reports' names and the style sets, each sorted alphabetically; the first
    // report is chosen, and with it its style set.
    explicit CNewReportPropertyPage1(const report::ReportManager& reports,
                                     QWidget* parent = nullptr);

    QString name() const;
    QString description() const;
    // The report chosen under "Based on"; 0 when there is none to choose.
    std::int32_t basedOn() const;
    std::int32_t styleId() const;

    // Lists the style sets again (the style editor may have changed them), keeping the chosen
    // one while it exists.
    void refreshStyles();

    QLineEdit* nameField() const { return name_; }
    QComboBox* basedOnBox() const { return basedOn_; }
    QComboBox* styleBox() const { return style_; }
    QLineEdit* descriptionField() const { return description_; }

private:
    void fillTemplates();
    void chooseStyle(std::int32_t styleId);
    void takeTemplateStyle();

    const report::ReportManager& reports_;
    QLineEdit* name_;
    QComboBox* basedOn_;
    QComboBox* style_;
    QLineEdit* description_;
};

}  // namespace app
