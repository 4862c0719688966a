#include "qt_controls.h"

#include "speed_input.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

namespace runby {

namespace {

// Windows' classic system colours, which the window's design assumes.
const QColor kButtonFace(240, 240, 240);
const QColor kLight3d(227, 227, 227);
const QColor kShadow3d(160, 160, 160);
const QColor kDarkShadow3d(105, 105, 105);
const QColor kGrayText(109, 109, 109);
const QColor kHighlight(0, 120, 215);
const QColor kInfoBackground(255, 255, 225);

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

} // namespace

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPalette designPalette()
{
    QPalette palette(Qt::black, kButtonFace, Qt::white, kDarkShadow3d, kShadow3d, Qt::black,
        Qt::white, Qt::white, kButtonFace);
    palette.setColor(QPalette::Midlight, kLight3d);
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, kInfoBackground);
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, kGrayText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, kGrayText);
    return palette;
}

NumberField::NumberField(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &NumberField::showWholeTextWhenCut);
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
    : QValidator(parent), m_limit(limit)
{
}

QValidator::State SpeedValidator::validate(QString &input, int &pos) const
{
    const auto edit =
        acceptSpeedEdit(toU16(m_text), toU16(input), static_cast<std::size_t>(pos), m_limit);
    if (edit) {
        input = fromU16(edit->text);
        pos = static_cast<int>(edit->cursor);
    } else if (input != m_text) {
        return Invalid;
    }
    m_text = input;
    return Acceptable;
}

ImmediateButtons::ImmediateButtons(std::initializer_list<QAbstractButton *> buttons,
    QRadioButton *first, QRadioButton *second, QObject *parent)
    : QObject(parent), m_first(first), m_second(second)
{
    for (QAbstractButton *button : buttons)
        button->installEventFilter(this);
}

bool ImmediateButtons::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || !button->isEnabled())
        return false;
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        button->click();
        return true;
    }
    if (event->type() != QEvent::KeyPress || (button != m_first && button != m_second))
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // With two options every arrow leads to the other one. Its handler places the focus;
        // Qt's own arrow handling would take it back to the option afterwards.
        (button == m_first ? m_second : m_first)->click();
        return true;
    default:
        return false;
    }
}

void LineEditBox::setText(std::string_view text)
{
    m_edit->setText(toQString(text));
    // Show a number from its first digit when it is wider than the field.
    m_edit->home(false);
}

void LineEditBox::setBackColor(Rgb color)
{
    setPaletteColor(m_edit, QPalette::Base, color);
}

void RadioOption::setForeColor(Rgb color)
{
    setPaletteColor(m_button, QPalette::WindowText, color);
    setPaletteColor(m_button, QPalette::ButtonText, color);
}

CopyableMessageBox::CopyableMessageBox(const QString &title, const QString &text, QWidget *owner)
    : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner)
{
    setTextFormat(Qt::PlainText);
    // A dialog is a window of its own and inherits neither the owner's colours nor its font.
    setPalette(owner->palette());
    setFont(owner->font());
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

void ModalMessageBox::show(std::string_view title, std::string_view text)
{
    // The label breaks lines at LF alone; a CR before it would be drawn as a stray glyph.
    QString lines = toQString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    CopyableMessageBox box(toQString(title), lines, m_owner);
    box.exec();
}

} // namespace runby
