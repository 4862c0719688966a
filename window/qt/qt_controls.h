#pragma once

#include "controls.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QRadioButton>
#include <QValidator>

#include <cstddef>
#include <string>
#include <string_view>

class QAbstractButton;

namespace runby {

QString toQString(std::string_view text);

// The window's light look, whatever the desktop's colour scheme: button face behind the
// captions, white fields, black text.
QPalette designPalette();

// A number field: a double click selects the whole number, and a text wider than the field
// shows whole in its tooltip.
class NumberField : public QLineEdit
{
public:
    explicit NumberField(QWidget *parent);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showWholeTextWhenCut();
};

// Takes into a speed field what the user types, pastes or drops as acceptSpeedEdit does: cleaned
// of invisible characters and refused beyond the field's limit.
class SpeedValidator final : public QValidator
{
public:
    SpeedValidator(std::size_t limit, QObject *parent);

    State validate(QString &input, int &pos) const override;

private:
    std::size_t m_limit;
    // The text the field holds: the validator sees only the text an edit made.
    mutable QString m_text;
};

// Makes the access keys of the buttons press them at once, rather than after the short
// animation in which keys typed next would go to the button, and lets an arrow key on the
// selected unit option select the other one with the focus ending where its handler puts it.
class ImmediateButtons final : public QObject
{
public:
    ImmediateButtons(std::initializer_list<QAbstractButton *> buttons, QRadioButton *first,
        QRadioButton *second, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRadioButton *m_first;
    QRadioButton *m_second;
};

// A text field of the window as the calculator sees it. A speed field's validator keeps its texts
// within its limit, those set here too.
class LineEditBox final : public TextBox
{
public:
    explicit LineEditBox(QLineEdit *edit) : m_edit(edit) { }

    std::string text() const override { return m_edit->text().toStdString(); }
    void setText(std::string_view text) override;
    void setBackColor(Rgb color) override;
    void setLocked(bool locked) override { m_edit->setReadOnly(locked); }
    // Out of the Tab chain, a field still takes the caret from a click, for selecting and copying.
    void setTabStop(bool tabStop) override
    {
        m_edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void setFocus() override { m_edit->setFocus(Qt::OtherFocusReason); }

private:
    QLineEdit *m_edit;
};

class RadioOption final : public OptionButton
{
public:
    explicit RadioOption(QRadioButton *button) : m_button(button) { }

    void setValue(bool selected) override { m_button->setChecked(selected); }
    void setForeColor(Rgb color) override;

private:
    QRadioButton *m_button;
};

// The message box in the window's look. Ctrl+C copies the whole message, as message boxes do on
// Windows.
class CopyableMessageBox final : public QMessageBox
{
public:
    CopyableMessageBox(const QString &title, const QString &text, QWidget *owner);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class ModalMessageBox final : public MessageBox
{
public:
    explicit ModalMessageBox(QWidget *owner) : m_owner(owner) { }

    void show(std::string_view title, std::string_view text) override;

private:
    QWidget *m_owner;
};

} // namespace runby
