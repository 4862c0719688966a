#pragma once

#include <QMainWindow>

#include <memory>
#include <string_view>

class QCoreApplication;
class QTranslator;

namespace runby {

class KeysInOrder;
class WindowSession;

// Has Qt's own texts (a field's context menu) speak the language from now on, from Qt's
// translation that the program carries; gives that translation, which the application owns, or
// null where the program carries none (English is Qt's own).
QTranslator *speakInQt(QCoreApplication &application, std::string_view language);

// The calculator's one window, frmRunby: the menu, the unit options, the speed and runby fields
// and the two buttons, laid out at fixed places and bound to the handlers of CalculatorForm.
// Constructing it runs Form_Load; the window places itself in the centre of the screen that holds
// the pointer, with the focus in the imperial speed field.
class RunbyWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit RunbyWindow(QWidget *parent = nullptr);
    ~RunbyWindow() override;

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    struct Controls;
    class Keyboard;

    void wireEvents();
    void centreOnScreen();

    std::unique_ptr<Controls> m_controls;
    std::unique_ptr<WindowSession> m_session;
    std::unique_ptr<KeysInOrder> m_keysInOrder;
    bool m_centredWithFrame = false;
};

} // namespace runby
