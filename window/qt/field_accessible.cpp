#include "field_accessible.h"

#include <QFontMetrics>

namespace runby {

FieldAccessible::FieldAccessible(QLineEdit *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
}

QLineEdit *FieldAccessible::field() const
{
    return static_cast<QLineEdit *>(widget());
}

QAccessible::State FieldAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = field()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    return state;
}

QString FieldAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Value ? field()->text() : QAccessibleWidget::text(t);
}

void FieldAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    replaceText(0, characterCount(), text);
}

void *FieldAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface && !field()->isReadOnly())
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void FieldAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText())
        return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int FieldAccessible::selectionCount() const
{
    return field()->hasSelectedText() ? 1 : 0;
}

void FieldAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void FieldAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        field()->deselect();
}

void FieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        field()->setSelection(startOffset, endOffset - startOffset);
}

int FieldAccessible::cursorPosition() const
{
    return field()->cursorPosition();
}

void FieldAccessible::setCursorPosition(int position)
{
    field()->setCursorPosition(position);
}

QString FieldAccessible::text(int startOffset, int endOffset) const
{
    return field()->text().mid(startOffset, endOffset - startOffset);
}

int FieldAccessible::characterCount() const
{
    return static_cast<int>(field()->text().size());
}

// Measured from the caret, which the field places wherever it has scrolled its text.
QRect FieldAccessible::characterRect(int offset) const
{
    const QString text = field()->text();
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics = field()->fontMetrics();
    const QRect cursor = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int caret = cursor.center().x();
    const int left = caret + metrics.horizontalAdvance(text.left(offset))
        - metrics.horizontalAdvance(text.left(field()->cursorPosition()));
    const QRect local(
        left, cursor.top(), metrics.horizontalAdvance(text.at(offset)), cursor.height());
    return {field()->mapToGlobal(local.topLeft()), local.size()};
}

int FieldAccessible::offsetAtPoint(const QPoint &point) const
{
    return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

void FieldAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    field()->setCursorPosition(endIndex);
    field()->setCursorPosition(startIndex);
}

QString FieldAccessible::attributes(int /*offset*/, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

// Edits go through the field as typing does, so that its input rules apply.
void FieldAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void FieldAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void FieldAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (field()->isReadOnly())
        return;
    field()->setSelection(startOffset, endOffset - startOffset);
    field()->insert(text);
}

} // namespace runby
