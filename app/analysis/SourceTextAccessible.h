#pragma once

#include <QAccessibleInterface>
#include <QObject>
#include <QString>

namespace app {

// The accessibility factory of the source view (QAccessible::installFactory): an editable-text
// interface, read-only, that gives a screen reader the text, the selection and the caret.
QAccessibleInterface* accessibleSourceText(const QString& className, QObject* object);

}  // namespace app
