#include "keys_in_order.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>

namespace runby {

namespace {

// The connection to the X server, where the window is on one.
xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Set in the type of an event that a client sent, as this filter sends held keys.
constexpr std::uint8_t kSent = 0x80;
constexpr int kPatienceMs = 2000;

} // namespace

KeysInOrder::KeysInOrder(QWidget &window) : m_window(window), m_connection(x11Connection())
{
    if (!m_connection)
        return;
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_patience.setSingleShot(true);
    m_patience.setInterval(kPatienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        m_patienceOver = true;
        m_keyInQt = false;
        sendNextHeld();
    });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &KeysInOrder::sendNextHeld);
    // The event loop waits for input only once it has handled every event it had, the key's
    // included, or is inside a loop that the key started, such as the box's.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
        &KeysInOrder::keyDone);
}

KeysInOrder::~KeysInOrder()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

QWidget &KeysInOrder::meantWindow() const
{
    QWidget *box = QApplication::activeModalWidget();
    return box ? *box : m_window;
}

bool KeysInOrder::meantHasFocus() const
{
    return QGuiApplication::focusWindow() == meantWindow().windowHandle();
}

bool KeysInOrder::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const auto kind = static_cast<std::uint8_t>(event->response_type & ~kSent);
    // An open menu takes the keys itself.
    if ((kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) || QApplication::activePopupWidget())
        return false;
    if ((event->response_type & kSent) && m_sentKeyOnItsWay) {
        m_sentKeyOnItsWay = false;
        return false;
    }
    // A key for the window meant, once it has the focus; not one for the box that has closed.
    const auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (m_held.empty() && !m_keyInQt && meantHasFocus()
        && key->event == static_cast<xcb_window_t>(meantWindow().winId())) {
        m_keyInQt = true;
        return false;
    }
    // Later keys wait behind the held ones, for the window meant.
    m_held.push_back(*key);
    if (!m_patience.isActive() && !m_patienceOver)
        m_patience.start();
    if (!meantHasFocus())
        meantWindow().activateWindow();
    return true;
}

void KeysInOrder::keyDone()
{
    if (m_sentKeyOnItsWay)
        return;
    m_keyInQt = false;
    sendNextHeld();
}

void KeysInOrder::sendNextHeld()
{
    if (m_held.empty() || m_keyInQt || !(meantHasFocus() || m_patienceOver))
        return;
    const auto window = static_cast<xcb_window_t>(meantWindow().winId());
    xcb_key_press_event_t key = m_held.front();
    m_held.pop_front();
    key.event = window;
    xcb_send_event(
        m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&key));
    xcb_flush(m_connection);
    m_keyInQt = true;
    m_sentKeyOnItsWay = true;
    if (m_held.empty()) {
        m_patience.stop();
        m_patienceOver = false;
    } else if (!m_patienceOver) {
        // Patience runs out only when no key has moved for a while.
        m_patience.start();
    }
}

} // namespace runby
