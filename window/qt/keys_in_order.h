#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <xcb/xcb.h>

#include <deque>

class QWidget;

namespace runby {

// Delivers every key to the window meant to have the keyboard, in the order typed. The X server
// sends a key to the window that has its focus, and a window that the program opens or closes
// takes the focus or gives it back only a moment later; Qt, for its part, reads a batch of keys
// before it handles the first. A key typed right after the shortcut that opens the message box
// would go to the main window, which Qt drops as the box blocks it by the time it handles the
// key, and one typed right after closing the box to the closed box.
// So Qt gets one key at a time: the next waits until Qt has done all that the one before asked
// for, and is then sent to the window meant, the box while it is open and else the main window,
// once that window has the focus.
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
    // Qt has handled the key it was given, or waits for input inside it (a dialog's loop).
    void keyDone();
    // Sends the first key held back into the event queue, to the window meant, once it may go.
    void sendNextHeld();

    QWidget &m_window;
    xcb_connection_t *m_connection;
    std::deque<xcb_key_press_event_t> m_held;
    // A key given to Qt that it has not yet handled.
    bool m_keyInQt = false;
    // A held key sent into the event queue that has not yet come round.
    bool m_sentKeyOnItsWay = false;
    // A window that never gets the focus takes its keys after a while.
    QTimer m_patience;
    bool m_patienceOver = false;
};

} // namespace runby
