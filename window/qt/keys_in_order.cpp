#include "keys_in_order.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace runby {

namespace {
// What KeysInOrder holds and sends, for finding why a key came late:
// QT_LOGGING_RULES=runby.keys.debug=true.
Q_LOGGING_CATEGORY(lcKeys, "runby.keys", QtWarningMsg)
} // namespace

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::uint8_t xinputOpcode(xcb_connection_t *connection)
{
    constexpr char kName[] = "XInputExtension";
    xcb_query_extension_reply_t *reply = xcb_query_extension_reply(
        connection, xcb_query_extension(connection, sizeof kName - 1, kName), nullptr);
    const std::uint8_t opcode = reply && reply->present ? reply->major_opcode : 0;
    std::free(reply); // NOLINT(cppcoreguidelines-no-malloc): XCB's replies are malloc'd
    return opcode;
}

namespace {

// Set in the type of an event that a client sent, as this filter sends held keys.
constexpr std::uint8_t kSent = 0x80;
constexpr int kPatienceMs = 2000;

constexpr std::uint16_t kXiButtonPress = 4;
constexpr std::uint16_t kXiButtonRelease = 5;

// The click as a core button event, which X lets a client send and Qt takes alike.
xcb_button_press_event_t coreButtonEvent(const XiButtonEvent &click)
{
    xcb_button_press_event_t button{};
    button.response_type = static_cast<std::uint8_t>(
        click.eventType == kXiButtonPress ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE);
    button.detail = static_cast<xcb_button_t>(click.button);
    button.time = click.time;
    button.root = click.root;
    button.event = click.event;
    button.child = click.child;
    button.root_x = static_cast<std::int16_t>(click.rootX >> 16);
    button.root_y = static_cast<std::int16_t>(click.rootY >> 16);
    button.event_x = static_cast<std::int16_t>(click.eventX >> 16);
    button.event_y = static_cast<std::int16_t>(click.eventY >> 16);
    button.state = static_cast<std::uint16_t>(click.modifiersEffective & 0xff);
    button.same_screen = 1;
    return button;
}

bool isKey(const xcb_key_press_event_t &event)
{
    const auto kind = static_cast<std::uint8_t>(event.response_type & ~kSent);
    return kind == XCB_KEY_PRESS || kind == XCB_KEY_RELEASE;
}

// Whether the X window is one of the program's, shown.
bool isShown(xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(), [window](const QWindow *shown) {
        return shown->handle() && shown->isVisible()
            && static_cast<xcb_window_t>(shown->winId()) == window;
    });
}

} // namespace

namespace {

// The keyboard grabbed for a window until X gives the focus to another window than the one that
// had it, or the patience is over.
class KeptKeyboard final : public QObject, public QAbstractNativeEventFilter
{
public:
    KeptKeyboard(QWidget &window, xcb_connection_t *connection)
        : QObject(&window), m_connection(connection)
    {
        const QWindow *focus = QGuiApplication::focusWindow();
        m_focusBefore = focus ? static_cast<xcb_window_t>(focus->winId()) : XCB_NONE;
        // Keys for the program's own windows go to them as before; only the others' come here.
        xcb_grab_keyboard(connection, 1, static_cast<xcb_window_t>(window.winId()),
            XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_flush(connection);
        QCoreApplication::instance()->installNativeEventFilter(this);
        QTimer::singleShot(kPatienceMs, this, &KeptKeyboard::release);
    }

    // The focus that the grab itself moves, with the grab's own modes, is not the one awaited.
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_focus_in_event_t *>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & ~kSent) == XCB_FOCUS_IN
            && event->event != m_focusBefore && event->detail != XCB_NOTIFY_DETAIL_POINTER
            && (event->mode == XCB_NOTIFY_MODE_NORMAL
                || event->mode == XCB_NOTIFY_MODE_WHILE_GRABBED))
            release();
        return false;
    }

private:
    void release()
    {
        if (m_released)
            return;
        m_released = true;
        xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        QCoreApplication::instance()->removeNativeEventFilter(this);
        deleteLater();
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_focusBefore;
    bool m_released = false;
};

} // namespace

void keepKeyboardFor(QWidget &window)
{
    if (xcb_connection_t *connection = x11Connection(); connection && window.isVisible())
        new KeptKeyboard(window, connection); // NOLINT(cppcoreguidelines-owning-memory)
}

KeysInOrder::KeysInOrder(QWidget &window) : m_window(window), m_connection(x11Connection())
{
    if (!m_connection)
        return;
    m_xinput = xinputOpcode(m_connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_patience.setSingleShot(true);
    m_patience.setInterval(kPatienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        qCDebug(lcKeys) << "patience over with" << m_held.size() << "held";
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
    if (QWidget *menu = QApplication::activePopupWidget())
        return *menu;
    QWidget *box = QApplication::activeModalWidget();
    return box ? *box : m_window;
}

// An open menu has the keyboard without the focus: it grabs the keys.
bool KeysInOrder::meantHasKeyboard() const
{
    return QApplication::activePopupWidget()
        || QGuiApplication::focusWindow() == meantWindow().windowHandle();
}

bool KeysInOrder::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const auto kind = static_cast<std::uint8_t>(event->response_type & ~kSent);
    if (kind == XCB_GE_GENERIC)
        return holdClick(*static_cast<const XiButtonEvent *>(message));
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE && kind != XCB_BUTTON_PRESS
        && kind != XCB_BUTTON_RELEASE)
        return false;
    if ((event->response_type & kSent) && m_sentKeyOnItsWay) {
        qCDebug(lcKeys) << "came round";
        m_sentKeyOnItsWay = false;
        return false;
    }
    if (kind == XCB_BUTTON_PRESS || kind == XCB_BUTTON_RELEASE)
        return false;
    // A key for the window meant, once it has the focus; not one for the box that has closed.
    const auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (m_held.empty() && !m_keyInQt && meantHasKeyboard()
        && key->event == static_cast<xcb_window_t>(meantWindow().winId())) {
        note("passed", *key);
        m_keyInQt = true;
        return false;
    }
    // Later keys wait behind the held ones, for the window meant.
    m_held.push_back(*key);
    note("held", *key);
    if (!m_patience.isActive() && !m_patienceOver)
        m_patience.start();
    return true;
}

// A click made while keys are held, or one is sent back into the queue, would reach Qt before
// them: it waits behind them, in the window it was made in. So does a release whose press was held.
bool KeysInOrder::holdClick(const XiButtonEvent &click)
{
    if (!m_xinput || click.extension != m_xinput
        || (click.eventType != kXiButtonPress && click.eventType != kXiButtonRelease))
        return false;
    const xcb_button_press_event_t button = coreButtonEvent(click);
    xcb_key_press_event_t held{};
    static_assert(sizeof held == sizeof button, "a button event has a key event's layout");
    std::memcpy(&held, &button, sizeof held);
    if (m_held.empty() && !m_sentKeyOnItsWay) {
        note("passed", held);
        return false;
    }
    m_held.push_back(held);
    note("held", held);
    return true;
}

// A click on a window that has closed since, such as the box, finds nothing to act on: X would
// drop it, and the event that KeysInOrder waits for would never come.
void KeysInOrder::dropClicksOnClosedWindows()
{
    while (!m_held.empty() && !isKey(m_held.front()) && !isShown(m_held.front().event))
        m_held.pop_front();
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
    if (m_keyInQt || !(meantHasKeyboard() || m_patienceOver))
        return;
    dropClicksOnClosedWindows();
    if (!m_held.empty()) {
        send(m_held.front());
        m_held.pop_front();
    }
    if (m_held.empty()) {
        m_patience.stop();
        m_patienceOver = false;
    } else if (!m_patienceOver) {
        // Patience runs out only when no key has moved for a while.
        m_patience.start();
    }
}

void KeysInOrder::note(const char *what, const xcb_key_press_event_t &event) const
{
    if (!lcKeys().isDebugEnabled())
        return;
    const QWindow *focus = QGuiApplication::focusWindow();
    qCDebug(lcKeys).nospace() << what << " type " << (event.response_type & ~kSent) << " code "
                              << event.detail << " for " << Qt::hex << event.event << Qt::dec
                              << "; " << m_held.size() << " held, in Qt " << m_keyInQt
                              << ", on its way " << m_sentKeyOnItsWay << ", patience over "
                              << m_patienceOver << ", focus " << Qt::hex
                              << (focus ? focus->winId() : 0);
}

// A key goes to the window meant, a click to the window it was made in.
void KeysInOrder::send(xcb_key_press_event_t held)
{
    if (isKey(held))
        held.event = static_cast<xcb_window_t>(meantWindow().winId());
    note("sent", held);
    xcb_send_event(m_connection, 0, held.event, XCB_EVENT_MASK_NO_EVENT,
        reinterpret_cast<const char *>(&held));
    xcb_flush(m_connection);
    m_keyInQt = true;
    m_sentKeyOnItsWay = true;
}

} // namespace runby
