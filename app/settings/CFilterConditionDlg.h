#pragma once

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

#include "report/FilterCondition.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace app {

// "Condition": one time condition. The name follows the other fields while it is the
// generated one ("Browsing on 56K takes more than 8 sec."); a name the user wrote stays.
// "OK" only while the seconds are not 0.
class CFilterConditionDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNameLength = 255;

    // Asks for a colour, starting from `initial`; none when the user cancels.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial, QWidget*)>;

    explicit CFilterConditionDlg(report::FilterCondition condition, QWidget* parent = nullptr);

    // The condition as the controls describe it.
    const report::FilterCondition& condition() const { return condition_; }
    bool automaticName() const { return automatic_; }

    QComboBox* timeTypeBox() const { return timeType_; }
    QComboBox* connectionBox() const { return connection_; }
    QSpinBox* secondsBox() const { return seconds_; }
    QComboBox* colorBox() const { return color_; }
    QLineEdit* nameField() const { return name_; }
    QPushButton* okButton() const { return ok_; }
    // The "..." button's action: choose a custom colour.
    void chooseCustomColor();

    // None: the system colour chooser, which keeps its 16 custom colours while the program runs.
    static void setColorChooser(ColorChooser chooser);

private:
    void fieldsChanged();
    void nameEdited(const QString& text);
    void colorChosen(int row);
    void fillColors();

    report::FilterCondition condition_;
    bool automatic_ = false;
    bool filling_ = false;
    QComboBox* timeType_;
    QComboBox* connection_;
    QSpinBox* seconds_;
    QComboBox* color_;
    QLineEdit* name_;
    QPushButton* ok_;
};

}  // namespace app
