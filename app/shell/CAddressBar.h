#pragma once

#include <QToolBar>

class QComboBox;
class QCompleter;
class QStringListModel;
class QToolButton;

namespace app {

class AppContext;

// The address bar: "Address:", an editable drop-down of the recent addresses that completes
// what is typed from them, and its own Analyze button. Enter in the box analyses as the button
// does.
class CAddressBar : public QToolBar {
    Q_OBJECT

public:
    CAddressBar(AppContext& context, QAction* analyze, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QComboBox* box() const { return box_; }
    // Whether the keyboard focus is inside the bar's edit box.
    bool hasEditFocus() const;
    // Cut, Copy, Paste and Undo on the edit box.
    void cut();
    void copy();
    void paste();
    void undo();

signals:
    void textChanged();

private:
    void refillRecent();
    void updateCompletion(const QString& typed);

    AppContext& context_;
    QComboBox* box_;
    QStringListModel* completions_;
    QCompleter* completer_;
};

}  // namespace app
