#include "app/widgets/Captions.h"

#include <QLabel>

namespace app {

QString captionWords(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

QLabel* captionFor(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    if (buddy->accessibleName().isEmpty()) buddy->setAccessibleName(captionWords(text));
    return label;
}

}  // namespace app
