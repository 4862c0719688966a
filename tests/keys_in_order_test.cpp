// Drives KeysInOrder on an X server with keys made here, at the moments that a busy desktop makes
// only now and then.

#include "keys_in_order.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTest>

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// The key 7 of the X server's default keyboard.
constexpr xcb_keycode_t kSeven = 16;

// The X server's root window, where the events made here happened.
xcb_window_t rootWindow()
{
    return xcb_setup_roots_iterator(xcb_get_setup(runby::x11Connection())).data->root;
}

// A press of 7, as the X server sends it to the window.
xcb_key_press_event_t sevenPressedAt(const QWidget &window)
{
    xcb_key_press_event_t key{};
    key.response_type = XCB_KEY_PRESS;
    key.detail = kSeven;
    key.root = rootWindow();
    key.event = static_cast<xcb_window_t>(window.winId());
    key.same_screen = 1;
    return key;
}

// A click of the first button at the window's top left corner, pressed or released, as XInput 2
// gives it to Qt.
runby::XiButtonEvent clickAt(const QWidget &window, bool pressed)
{
    runby::XiButtonEvent click{};
    click.responseType = XCB_GE_GENERIC;
    click.extension = runby::xinputOpcode(runby::x11Connection());
    click.eventType = pressed ? 4 : 5;
    click.button = 1;
    click.root = rootWindow();
    click.event = static_cast<xcb_window_t>(window.winId());
    return click;
}

// A field on a window that the desktop never activates: a key for it is held. It notes the key
// presses and mouse presses that Qt gives it.
class UnfocusedField : public QLineEdit
{
public:
    UnfocusedField()
    {
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        show();
    }

    std::vector<QEvent::Type> presses;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            presses.push_back(event->type());
        return QLineEdit::event(event);
    }
};

// Runs the event loop until the condition holds, ten seconds at most. Unlike QTest's waits, the
// loop waits for input as the program's does, when KeysInOrder sends the next held event.
bool eventually(const std::function<bool()> &condition)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    look.start(50);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

} // namespace

class KeysInOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aKeyForAWindowThatNeverGetsTheFocusReachesItAfterAWhile();
    void aClickAfterAHeldKeyComesAfterIt();
    void aClickOnAWindowClosedSinceHoldsUpNoKey();

private:
    // Gives KeysInOrder the event as X would; whether it holds the event.
    template <typename Event> bool given(Event event)
    {
        return m_keys->nativeEventFilter("xcb_generic_event_t", &event, nullptr);
    }

    std::unique_ptr<UnfocusedField> m_field;
    std::unique_ptr<runby::KeysInOrder> m_keys;
};

void KeysInOrderTest::init()
{
    m_field = std::make_unique<UnfocusedField>();
    QVERIFY(QTest::qWaitForWindowExposed(m_field.get()));
    m_field->setFocus();
    m_keys = std::make_unique<runby::KeysInOrder>(*m_field);
}

void KeysInOrderTest::cleanup()
{
    m_keys.reset();
    m_field.reset();
}

// A window that the desktop never activates would take no key at all if held keys waited for
// its focus: after two seconds they go to it all the same.
void KeysInOrderTest::aKeyForAWindowThatNeverGetsTheFocusReachesItAfterAWhile()
{
    QVERIFY2(given(sevenPressedAt(*m_field)), "held while the window lacks the focus");
    QVERIFY(eventually([&] { return m_field->text() == QStringLiteral("7"); }));
}

// The held keys are sent back into the event queue, behind a click made after them: typed 0.75
// and clicked Calculate at once, the program calculated 0.7.
void KeysInOrderTest::aClickAfterAHeldKeyComesAfterIt()
{
    QVERIFY(given(sevenPressedAt(*m_field)));
    QVERIFY2(
        given(clickAt(*m_field, true)) && given(clickAt(*m_field, false)), "held behind the key");
    const std::vector<QEvent::Type> inOrder{QEvent::KeyPress, QEvent::MouseButtonPress};
    QVERIFY(eventually([&] { return m_field->presses == inOrder; }));
}

// Sent to a box that has closed, a held click would never come round, and the keys behind it
// would wait for it for ever.
void KeysInOrderTest::aClickOnAWindowClosedSinceHoldsUpNoKey()
{
    auto box = std::make_unique<QWidget>();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QVERIFY(given(sevenPressedAt(*m_field)));
    QVERIFY(given(clickAt(*box, true)));
    QVERIFY(given(sevenPressedAt(*m_field)));
    box.reset();
    QVERIFY(eventually([&] { return m_field->text() == QStringLiteral("77"); }));
}

QTEST_MAIN(KeysInOrderTest)
#include "keys_in_order_test.moc"
