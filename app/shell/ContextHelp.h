#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string_view>
#include <vector>

class QDialog;
class QWidget;

namespace app {

// Help for the program's dialogs: F1 in a dialog opens the dialog's own help page, and a dialog
// with a button box (or a wizard) gets a "Help" button that does the same. One filter on the
// application does it for every dialog; the topic table below is the only place a dialog's
// page is named.
class ContextHelp : public QObject {
    Q_OBJECT

public:
    struct Topic {
        std::string_view dialog;  // the class name, without its namespace
        std::string_view page;    // a page of the help folder, with an anchor when it has one
    };
    static const std::vector<Topic>& topics();

    // The dialog's topic by its class name, or empty when the table does not know it.
    static QString topicOf(const QWidget& dialog);
    // share/pagelyst/help beside the program's folder, as installed and in the build tree.
    static QString helpFolder();
    // The file address of a topic ("settings.html#conditions"), the anchor kept.
    static QString addressOf(const QString& topic);

    // How an address is opened: the user's browser (openInBrowser) unless a test replaces it.
    using Opener = std::function<void(QWidget* parent, const QString& address)>;
    static void setOpener(Opener opener);
    static void open(QWidget* parent, const QString& topic);

    // Installs the filter on the application, once per application object.
    static void install();
    static bool installed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ContextHelp(QObject* parent) : QObject(parent) {}
    static void addHelpButton(QDialog& dialog, const QString& topic);
};

}  // namespace app
