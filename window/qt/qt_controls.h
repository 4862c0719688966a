#pragma once

#include "controls.h"
#include "deferred_focus.h"
#include "speed_input.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QValidator>

#include <cstddef>
#include <string>
#include <string_view>

namespace runby {

QString toQString(std::string_view text);

// A number field: a double click selects the whole number, and a text wider than the field
// shows whole in its tooltip.
class NumberField : public QLineEdit
{
public:
    explicit NumberField(QWidget *parent);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showWholeTextWhenCut();
};

// The unit options' container, which assistive technology presents as their named group.
class OptionGroup final : public QWidget
{
public:
    OptionGroup(const QString &name, QWidget *parent);
};

// Takes into a speed field what the user types, pastes or drops as acceptSpeedEdit does: cleaned
// of invisible characters and refused beyond the field's limit.
class SpeedValidator final : public QValidator
{
public:
    SpeedValidator(std::size_t limit, QObject *parent);

    State validate(QString &input, int &pos) const override;

private:
    // The text the field holds: the validator sees only the text an edit made.
    mutable FieldModel m_model;
};

// A text field of the window as the calculator sees it. A speed field's validator keeps its texts
// within its limit, those set here too.
class QtTextBox final : public TextBox
{
public:
    QtTextBox(QLineEdit *edit, DeferredFocus &focus) : m_edit(edit), m_focus(focus) { }

    std::string text() const override { return m_edit->text().toStdString(); }
    void setText(std::string_view text) override;
    void setBackColor(Rgb color) override;
    void setLocked(bool locked) override { m_edit->setReadOnly(locked); }
    // Out of the Tab chain, a field still takes the caret from a click, for selecting and copying.
    void setTabStop(bool tabStop) override
    {
        m_edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void setFocus() override
    {
        m_focus.request([edit = m_edit] { edit->setFocus(Qt::OtherFocusReason); });
    }

private:
    QLineEdit *m_edit;
    DeferredFocus &m_focus;
};

class QtOptionButton final : public OptionButton
{
public:
    explicit QtOptionButton(QRadioButton *button) : m_button(button) { }

    void setValue(bool selected) override { m_button->setChecked(selected); }
    void setForeColor(Rgb color) override;
    // Out of the Tab chain, an option still takes the focus from a click.
    void setTabStop(bool tabStop) override
    {
        m_button->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }

private:
    QRadioButton *m_button;
};

// The message box in the window's look. Ctrl+C copies the whole message, as message boxes do on
// Windows.
class CopyableMessageBox final : public QMessageBox
{
public:
    CopyableMessageBox(const QString &title, const QString &text, QWidget *owner);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *m_owner;
};

class QtMessageBox final : public MessageBox
{
public:
    explicit QtMessageBox(QWidget *owner) : m_owner(owner) { }

    void show(std::string_view title, std::string_view text) override;

private:
    QWidget *m_owner;
};

// Tells screen readers a sentence through a widget of no size that they see as a notification:
// shown anew with the sentence in its label, it is spoken, shown in braille and kept in the
// screen reader's history of notifications, and the window shows nothing new.
class QtAnnouncer final : public Announcer
{
public:
    explicit QtAnnouncer(QWidget *parent);
    QtAnnouncer(const QtAnnouncer &) = delete;
    QtAnnouncer &operator=(const QtAnnouncer &) = delete;

    void announce(std::string_view sentence) override;

private:
    QWidget *m_notice;
    QLabel *m_sentence;
};

} // namespace runby
