#include "app/analysis/SourceTextAccessible.h"

#include <QAccessibleWidget>

#include <algorithm>

#include "app/analysis/SourceTextView.h"

namespace app {
namespace {

// The text as a screen reader reads it: the whole source, the selection and the caret.
class SourceTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit SourceTextAccessible(SourceTextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? view()->text() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        const bool any = index == 0 && view()->hasSelection();
        *start = any ? view()->selectionStart() : 0;
        *end = any ? view()->selectionEnd() : 0;
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { view()->selectRange(start, end); }
    void removeSelection(int) override {
        view()->selectRange(view()->cursorPosition(), view()->cursorPosition());
    }
    void setSelection(int, int start, int end) override { view()->selectRange(start, end); }
    int cursorPosition() const override { return view()->cursorPosition(); }
    void setCursorPosition(int pos) override { view()->selectRange(pos, pos); }
    QString text(int start, int end) const override {
        return view()->text().mid(start, std::max(0, end - start));
    }
    int characterCount() const override { return int(view()->text().size()); }
    QRect characterRect(int offset) const override {
        const QRect cell = view()->characterRect(offset);
        return QRect(view()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return view()->positionAt(view()->viewport()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { view()->scrollToPosition(start); }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    SourceTextView* view() const { return static_cast<SourceTextView*>(widget()); }
};

}  // namespace

QAccessibleInterface* accessibleSourceText(const QString& className, QObject* object) {
    if (className == QLatin1String("app::SourceTextView") && object && object->isWidgetType())
        return new SourceTextAccessible(static_cast<SourceTextView*>(object));
    return nullptr;
}

}  // namespace app
