#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <xcb/xcb.h>

#include <vector>

class QWidget;

namespace runby {

// Delivers every key to the window meant to have the keyboard, in the order typed. The X server
// sends a key to the window that has its focus, and a window that the program opens or closes
// takes the focus or gives it back only a moment later: a key typed right after the shortcut
// that opens the message box would go to the main window, which Qt drops as the box blocks it,
// and one typed right after closing the box to the closed box. Such a key, and every key after it,
// is held until the window meant, the box while it is open and else the main window, has the
// focus, then sent to it in order.
class KeysInOrder final : public QObject, public QAbstractNativeEventFilter
{
public:
    // Installs itself for the window's X11 keys; does nothing on any other platform.
    explicit KeysInOrder(QWidget &window);
    ~KeysInOrder() override;
    KeysInOrder(const KeysInOrder &) = delete;
    KeysInOrder &operator=(const KeysInOrder &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override;

private:
    QWidget &meantWindow() const;
    bool meantHasFocus() const;
    // Sends the keys held back into the event queue, to the window meant.
    void release();

    QWidget &m_window;
    xcb_connection_t *m_connection;
    std::vector<xcb_key_press_event_t> m_held;
    // Keys released into the queue and not yet come round.
    int m_released = 0;
    // A window that never gets the focus takes its keys as Qt gives them after a while.
    QTimer m_patience;
};

} // namespace runby
