// Drives KeysInOrder on an X server with keys made here, at the moments that a busy desktop makes
// only now and then.

#include "keys_in_order.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <xcb/xcb.h>

namespace {

// The key 7 of the X server's default keyboard.
constexpr xcb_keycode_t kSeven = 16;

// A press of 7, as the X server sends it to the window.
xcb_key_press_event_t sevenPressedAt(const QWidget &window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_key_press_event_t key{};
    key.response_type = XCB_KEY_PRESS;
    key.detail = kSeven;
    key.root = xcb_setup_roots_iterator(xcb_get_setup(x11->connection())).data->root;
    key.event = static_cast<xcb_window_t>(window.winId());
    key.same_screen = 1;
    return key;
}

} // namespace

class KeysInOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void aKeyForAWindowThatNeverGetsTheFocusReachesItAfterAWhile();
};

// A window that the desktop never activates would take no key at all if held keys waited for
// its focus: after two seconds they go to it all the same.
void KeysInOrderTest::aKeyForAWindowThatNeverGetsTheFocusReachesItAfterAWhile()
{
    QLineEdit field;
    field.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setFocus();
    runby::KeysInOrder keys(field);
    xcb_key_press_event_t seven = sevenPressedAt(field);
    QVERIFY2(keys.nativeEventFilter("xcb_generic_event_t", &seven, nullptr),
        "held while the window lacks the focus");
    QTRY_COMPARE_WITH_TIMEOUT(field.text(), QStringLiteral("7"), 10000);
}

QTEST_MAIN(KeysInOrderTest)
#include "keys_in_order_test.moc"
