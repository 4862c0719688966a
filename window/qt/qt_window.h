#pragma once

#include <QMainWindow>

#include <memory>

namespace runby {

class KeysInOrder;
class WindowSession;

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
