#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLineEdit;

namespace app {

// One page of the settings sheet. The page edits its controls only; nothing reaches the
// program until the sheet is confirmed, and then only after every page has accepted its values.
class CSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit CSettingsPage(const QString& title, QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    // Checks the values; on a bad one tells the user, puts the focus in its field and returns
    // false.
    virtual bool validate() = 0;
    // Hands the values to their owner; called only after every page validated.
    virtual void apply() = 0;

protected:
    // The whole number in the field if it is one in minimum..maximum; otherwise the user is told
    // `message` and the focus goes to the field.
    static std::optional<int> numberIn(QLineEdit* field, int minimum, int maximum,
                                       const QString& message);

private:
    QString title_;
};

}  // namespace app
