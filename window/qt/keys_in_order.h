#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdint>
#include <deque>

class QWidget;

namespace runby {

// The connection to the X server, where the program runs on one; null elsewhere.
xcb_connection_t *x11Connection();

// The XInput extension's major opcode, which its events carry; 0 without the extension.
std::uint8_t xinputOpcode(xcb_connection_t *connection);

// The start of an XInput 2 button press or release as XCB hands it over, which is how Qt gets a
// click: XCB puts the full sequence number after the first 32 bytes.
struct XiButtonEvent
{
    std::uint8_t responseType;
    std::uint8_t extension;
    std::uint16_t sequence;
    std::uint32_t length;
    std::uint16_t eventType;
    std::uint16_t deviceId;
    std::uint32_t time;
    std::uint32_t button;
    std::uint32_t root;
    std::uint32_t event;
    std::uint32_t child;
    std::uint32_t fullSequence;
    std::int32_t rootX; // 16.16 fixed point, as are the others
    std::int32_t rootY;
    std::int32_t eventX;
    std::int32_t eventY;
    std::uint16_t buttonsLength;
    std::uint16_t valuatorsLength;
    std::uint16_t sourceId;
    std::uint16_t pad;
    std::uint32_t flags;
    std::uint32_t modifiersBase;
    std::uint32_t modifiersLatched;
    std::uint32_t modifiersLocked;
    std::uint32_t modifiersEffective;
};

// Where the program runs on X, has the keys typed from now on that would reach no window of the
// program go to the window given, until X gives the focus to another window than the one that has
// it, two seconds at most. A window manager that gives the focus to a box as it opens, or back to
// the window behind it as it closes, may keep the focus itself for a moment first (openbox does),
// and a key typed then would go to it. Needed as long as window managers keep the focus so.
void keepKeyboardFor(QWidget &window);

// Delivers every key to the window meant to have the keyboard, in the order typed. The X server
// sends a key to the window that has its focus, and a window that the program opens or closes
// takes the focus or gives it back only a moment later; Qt, for its part, reads a batch of keys
// before it handles the first. A key typed right after the shortcut that opens the message box
// would go to the main window, which Qt drops as the box blocks it by the time it handles the
// key, and one typed right after closing the box to the closed box.
// So Qt gets one key at a time: the next waits until Qt has done all that the one before asked
// for, and is then sent to the window meant, once that window has the keyboard: the open menu,
// which grabs it, else the box while it is open, else the main window. A key read while the menu
// was open would otherwise go to the menu even after the key before it chose the menu's item and
// opened the box. A click made while keys are held waits behind them.
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
    bool meantHasKeyboard() const;
    bool holdClick(const XiButtonEvent &click);
    void dropClicksOnClosedWindows();
    void send(xcb_key_press_event_t held);
    void note(const char *what, const xcb_key_press_event_t &event) const;
    // Qt has handled the key it was given, or waits for input inside it (a dialog's loop).
    void keyDone();
    // Sends the first key held back into the event queue, to the window meant, once it may go.
    void sendNextHeld();

    QWidget &m_window;
    xcb_connection_t *m_connection;
    std::uint8_t m_xinput = 0;
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
