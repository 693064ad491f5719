#include "app/shell/ContextHelp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QWizard>

#include "app/widgets/OpenInBrowser.h"

namespace app {
namespace {

// Set on a dialog once its Help button was added, so that showing it again adds none.
constexpr const char* kHelpAdded = "pagelystHelpAdded";

ContextHelp::Opener& opener() {
    static ContextHelp::Opener current;
    return current;
}

QPointer<ContextHelp>& theFilter() {
    static QPointer<ContextHelp> filter;
    return filter;
}

QString className(const QWidget& widget) {
    const QString name = QString::fromLatin1(widget.metaObject()->className());
    const qsizetype scope = name.lastIndexOf(QLatin1String("::"));
    return scope < 0 ? name : name.mid(scope + 2);
}

}  // namespace

const std::vector<ContextHelp::Topic>& ContextHelp::topics() {
    static const std::vector<Topic> table = {
        {"CAboutDlg", "getting-started.html#about"},
        {"COpenURLDlg", "getting-started.html#open-url"},
        {"CTipDlg", "getting-started.html#tips"},
        {"CSettingsSheet", "settings.html"},
        {"CFilterConditionDlg", "conditions.html#condition-dialog"},
        {"CNewStatisticsDlg", "views.html#statistics"},
        {"CNewStatPS", "views.html#statistics"},
        {"CNewReportPropertySheet", "reports.html#new-report"},
        {"CReportContentDlg", "reports.html#items"},
        {"CReportNewItemDlg", "reports.html#items"},
        {"CReportTitleDlg", "reports.html#items"},
        {"CReportTextDlg", "reports.html#items"},
        {"CReportFieldSetDlg", "reports.html#items"},
        {"CReportTableDlg", "reports.html#items"},
        {"CStyleEditorDlg", "reports.html#styles"},
        {"CPageDetailsDlg", "views.html#page-details"},
        {"CObjectDetailsDlg", "views.html#element-details"},
        {"CFindDialog", "views.html#source"},
        {"CObjectExplorer", "views.html#object-explorer"},
    };
    return table;
}

QString ContextHelp::topicOf(const QWidget& dialog) {
    const QString name = className(dialog);
    for (const Topic& topic : topics())
        if (name == QLatin1String(topic.dialog.data(), static_cast<qsizetype>(topic.dialog.size())))
            return QString::fromLatin1(topic.page.data(),
                                       static_cast<qsizetype>(topic.page.size()));
    return {};
}

QString ContextHelp::helpFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/pagelyst/help"));
}

QString ContextHelp::addressOf(const QString& topic) {
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(helpFolder() + QLatin1Char('/') + topic.left(hash));
    if (hash >= 0) url.setFragment(topic.mid(hash + 1));
    return url.toString();
}

void ContextHelp::setOpener(Opener replacement) {
    opener() = std::move(replacement);
}

void ContextHelp::open(QWidget* parent, const QString& topic) {
    const QString address = addressOf(topic);
    if (opener()) {
        opener()(parent, address);
    } else {
        openInBrowser(parent, address.toStdString());
    }
}

void ContextHelp::install() {
    if (installed() || qApp == nullptr) return;
    theFilter() = new ContextHelp(qApp);
    qApp->installEventFilter(theFilter());
}

bool ContextHelp::installed() {
    return !theFilter().isNull();
}

void ContextHelp::addHelpButton(QDialog& dialog, const QString& topic) {
    if (dialog.property(kHelpAdded).toBool()) return;
    dialog.setProperty(kHelpAdded, true);
    QPointer<QDialog> owner(&dialog);
    if (auto* wizard = qobject_cast<QWizard*>(&dialog)) {
        wizard->setOption(QWizard::HaveHelpButton, true);
        connect(wizard, &QWizard::helpRequested, wizard,
                [owner, topic] { open(owner.data(), topic); });
        return;
    }
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (buttons == nullptr || buttons->button(QDialogButtonBox::Help) != nullptr) return;
    buttons->addButton(QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::helpRequested, &dialog,
            [owner, topic] { open(owner.data(), topic); });
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    // A key press may be bound for an item inside a web view, an object this program cannot
    // look into: F1 is judged by the key alone and goes to the active window.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
        QWidget* window = QApplication::activeWindow();
        if (qobject_cast<QDialog*>(window) == nullptr) return false;
        const QString topic = topicOf(*window);
        if (topic.isEmpty()) return false;
        open(window, topic);
        return true;
    }
    if (event->type() != QEvent::Show) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog != nullptr && dialog->isWindow()) {
        const QString topic = topicOf(*dialog);
        if (!topic.isEmpty()) addHelpButton(*dialog, topic);
    }
    return false;
}

}  // namespace app
