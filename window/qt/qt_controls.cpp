#include "qt_controls.h"

#include "catalogue.h"
#include "field_accessible.h"
#include "keys_in_order.h"
#include "speed_input.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace runby {

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and the text on either side.
constexpr int kLineEditTextMargin = 2;

QColor toQColor(Rgb color)
{
    return {color.red, color.green, color.blue};
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, Rgb color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(color));
    widget->setPalette(palette);
}

std::u16string_view toU16(const QString &text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

QString fromU16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr QLatin1StringView kNoticeName("announcement");

// The notice and the unit options' group are plain widgets to Qt, each with a role of its own.
QAccessibleInterface *containerAccessible(const QString &key, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (key != QLatin1StringView("QWidget") || !widget)
        return nullptr;
    if (widget->objectName() == kNoticeName)
        return new QAccessibleWidget(widget, QAccessible::Notification);
    // A group that Orca speaks as the options' context; a filler would be layout to it.
    if (dynamic_cast<OptionGroup *>(widget))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

void installContainerAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(containerAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

// NumberField declares no class of its own to the meta-object system: it is asked for as a
// QLineEdit.
QAccessibleInterface *fieldAccessible(const QString &key, QObject *object)
{
    auto *field = dynamic_cast<NumberField *>(object);
    if (key != QLatin1StringView("QLineEdit") || !field)
        return nullptr;
    return new FieldAccessible(field);
}

} // namespace

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

NumberField::NumberField(QWidget *parent) : QLineEdit(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(fieldAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    connect(this, &QLineEdit::textChanged, this, &NumberField::showWholeTextWhenCut);
}

void NumberField::focusInEvent(QFocusEvent *event)
{
    const bool selectedBefore = hasSelectedText();
    QLineEdit::focusInEvent(event);
    // Entered by Tab or an access key, the field has just selected its text, and assistive
    // technology hears of the selection before Qt tells it of the focus: Orca would read the
    // number as selected, then the field with the number selected again. Told of the selection
    // once more after the focus, Orca keeps that telling only, and reads the field once.
    if (selectedBefore || !hasSelectedText() || !QAccessible::isActive())
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!hasSelectedText())
                return;
            QAccessibleTextSelectionEvent selection(this, selectionStart(), selectionEnd());
            QAccessible::updateAccessibility(&selection);
        },
        Qt::QueuedConnection);
}

void NumberField::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A number is one word to the user: "114.3", not "114" or ".".
    if (event->button() == Qt::LeftButton) {
        selectAll();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void NumberField::showWholeTextWhenCut()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int room = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width()
        - 2 * kLineEditTextMargin;
    setToolTip(fontMetrics().horizontalAdvance(text()) > room ? text() : QString());
}

SpeedValidator::SpeedValidator(std::size_t limit, QObject *parent)
    : QValidator(parent), m_model(limit)
{
}

QValidator::State SpeedValidator::validate(QString &input, int &pos) const
{
    const auto edit = m_model.edited(toU16(input), static_cast<std::size_t>(pos));
    if (edit) {
        input = fromU16(edit->text);
        pos = static_cast<int>(edit->cursor);
    } else if (toU16(input) != m_model.shown()) {
        return Invalid;
    }
    m_model.show(toU16(input));
    return Acceptable;
}

namespace {

// The field whose selection the calculator's write removes, while it writes.
QObject *g_fieldWritten = nullptr;

// Passes every accessibility event on but those of the field written about its text, its
// selection and its caret.
void withholdWrittenFieldsEvents(QAccessibleEvent *event)
{
    const QAccessible::Event type = event->type();
    const bool aboutText = type == QAccessible::TextSelectionChanged
        || type == QAccessible::TextCaretMoved || type == QAccessible::TextInserted
        || type == QAccessible::TextRemoved || type == QAccessible::TextUpdated;
    if (aboutText && event->object() == g_fieldWritten)
        return;
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(withholdWrittenFieldsEvents);
}

} // namespace

// A selection that the calculator's write removes is not the user's. Orca 43 says "Text
// unselected" when told of its end, and "Selection deleted" when told of its text removed while
// the field is still Orca's focus, as the field left is emptied on a change of units. So the
// write is told once the handlers are done, when the focus has gone where they put it, and the
// selection's end only of a field that keeps the focus, which Orca would otherwise still hold as
// selected. This can go once Orca tells neither of a field that a program writes.
void QtTextBox::setText(std::string_view text)
{
    const bool selected = m_edit->hasSelectedText() && QAccessible::isActive();
    const QString before = selected ? m_edit->text() : QString();
    if (selected) {
        g_fieldWritten = m_edit;
        QAccessible::installUpdateHandler(withholdWrittenFieldsEvents);
    }
    m_edit->setText(toQString(text));
    // Show a number from its first digit when it is wider than the field.
    m_edit->home(false);
    if (!selected)
        return;
    QAccessible::installUpdateHandler(nullptr);
    g_fieldWritten = nullptr;
    QMetaObject::invokeMethod(
        m_edit,
        [edit = m_edit, before, after = m_edit->text()] {
            QAccessibleTextUpdateEvent written(edit, 0, before, after);
            QAccessible::updateAccessibility(&written);
            if (!edit->hasFocus())
                return;
            QAccessibleTextSelectionEvent selection(
                edit, edit->cursorPosition(), edit->cursorPosition());
            QAccessible::updateAccessibility(&selection);
        },
        Qt::QueuedConnection);
}

void QtTextBox::setBackColor(Rgb color)
{
    setPaletteColor(m_edit, QPalette::Base, color);
}

void QtOptionButton::setForeColor(Rgb color)
{
    setPaletteColor(m_button, QPalette::WindowText, color);
    setPaletteColor(m_button, QPalette::ButtonText, color);
}

CopyableMessageBox::CopyableMessageBox(const QString &title, const QString &text, QWidget *owner)
    : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner), m_owner(owner)
{
    setTextFormat(Qt::PlainText);
    button(QMessageBox::Ok)->setText(toQString(textOf(Text::box_ok)));
    // A dialog is a window of its own and inherits neither the owner's colours nor its font.
    setPalette(owner->palette());
    setFont(owner->font());
    // The row of buttons passes the focus on to OK, and would report it as its own as well:
    // assistive technology would find two objects with the focus.
    for (QDialogButtonBox *buttons : findChildren<QDialogButtonBox *>())
        buttons->setFocusProxy(nullptr);
}

// The keys typed as the box closes go to the window behind it, whatever the window manager does
// with the focus meanwhile: the keyboard is kept before the box is unmapped.
void CopyableMessageBox::setVisible(bool visible)
{
    if (!visible && isVisible())
        keepKeyboardFor(*m_owner->window());
    QMessageBox::setVisible(visible);
}

void CopyableMessageBox::keyPressEvent(QKeyEvent *event)
{
    if (!event->matches(QKeySequence::Copy)) {
        QMessageBox::keyPressEvent(event);
        return;
    }
    const QString rule = QStringLiteral("---------------------------\n");
    QString copy = rule + windowTitle() + u'\n' + rule + text() + u'\n' + rule;
    for (const QAbstractButton *button : buttons())
        copy += QString(button->text()).remove(u'&') + QStringLiteral("   ");
    copy += u'\n' + rule;
    QGuiApplication::clipboard()->setText(copy);
}

void QtMessageBox::show(std::string_view title, std::string_view text)
{
    // The label breaks lines at LF alone; a CR before it would be drawn as a stray glyph.
    QString lines = toQString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    CopyableMessageBox box(toQString(title), lines, m_owner);
    // The keys typed as the box opens go to it, whatever the window manager does with the focus
    // meanwhile.
    keepKeyboardFor(*m_owner->window());
    box.exec();
}

OptionGroup::OptionGroup(const QString &name, QWidget *parent) : QWidget(parent)
{
    installContainerAccessible();
    setAccessibleName(name);
}

// Screen readers speak a notification's name and its labels, but show in braille and keep in
// their history only what its labels say.
QtAnnouncer::QtAnnouncer(QWidget *parent)
    : m_notice(new QWidget(parent)), m_sentence(new QLabel(m_notice))
{
    installContainerAccessible();
    m_notice->setObjectName(kNoticeName);
    m_notice->setGeometry(0, 0, 0, 0);
    m_sentence->setTextFormat(Qt::PlainText);
    m_notice->hide();
}

void QtAnnouncer::announce(std::string_view sentence)
{
    m_notice->hide();
    m_sentence->setText(toQString(sentence));
    m_notice->show();
}

} // namespace runby
