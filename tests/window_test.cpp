#include "catalogue.h"
#include "key_sessions.h"
#include "layout.h"
#include "qt_controls.h"
#include "qt_window.h"
#include "speed_input.h"
#include "title_bar.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(std::function<void(QMessageBox *)>)
Q_DECLARE_METATYPE(runby::KeySession)
Q_DECLARE_METATYPE(const runby::Catalogue *)

#include <functional>
#include <memory>

using runby::RunbyWindow;

namespace {

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

// The names of the widgets that take the focus while one is alive, in order.
class FocusTrail : public QObject
{
public:
    FocusTrail() { qApp->installEventFilter(this); }
    ~FocusTrail() override { qApp->removeEventFilter(this); }

    QStringList names;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            names << watched->objectName();
        return false;
    }
};

// The sentences a notice is shown with, in order.
class ShownSentences : public QObject
{
public:
    explicit ShownSentences(QWidget *notice) { notice->installEventFilter(this); }

    QStringList sentences;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            sentences << static_cast<QWidget *>(watched)->findChild<QLabel *>()->text();
        return false;
    }
};

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsAsDesigned();
    void placesControlsAtTheirDesignedGeometry_data();
    void placesControlsAtTheirDesignedGeometry();
    void showsLabelsWithTheirTooltips();
    void captionsFitTheirControlsInEveryLanguage();
    void computesTheTypicalRoadAndEmptiesResultsOnTheNextKeystroke();
    void computesTheMetricRoad();
    void enterPressesCalculateFromEveryControlButAButton_data();
    void enterPressesCalculateFromEveryControlButAButton();
    void tabVisitsTheEditableFieldButtonsAndSelectedOption();
    void accessKeysReachEveryControl();
    void speedFieldsRefuseATenthCharacterTypedOrPasted();
    void resultFieldsRefuseKeysButTakeAClick();
    void switchingModesSwapsColoursAndFocus();
    void runbyInfoShowsTheRuleAndLeavesEverythingAsItWas_data();
    void runbyInfoShowsTheRuleAndLeavesEverythingAsItWas();
    void keepsItsColoursUnderADarkPalette();
    void keepsItsFontsUnderALargeDesktopFont();
    void namesEveryControlForAssistiveTechnologyInReadingOrder();
    void fieldsAreEditableOrReadOnlyNeverBoth();
    void tellsScreenReadersTheResultWithoutMovingTheFocus();
    void calculateIsTheDefaultButtonUnlessClearHasTheFocus();
    void aLoneAltLosesNoKey();
    void qtsOwnTextsSpeakTheProgramsLanguage();
    void loseNoKeySentBackToBack_data();
    void loseNoKeySentBackToBack();
    void speedFieldsShowWhatTheCalculationReads_data();
    void speedFieldsShowWhatTheCalculationReads();
    void speedFieldsDropEveryInvisibleCharacterAndBlankEverySeparator();
    void doubleClickSelectsTheWholeNumber();
    void showsAResultWiderThanItsFieldInItsTooltip();
    void runbyInfoCopiesTheWholeMessage();
    void centresTheFramedWindowOnTheScreenOfThePointer();
    void ownTitleBarOffersMinimiseAndCloseOnly();

private:
    template <typename T> T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control named %s", name);
        return widget;
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(name); }
    QString text(const char *name) const { return field(name)->text(); }
    void typeAndPressEnter(const QString &speed);
    QStringList fieldTexts() const;

    std::unique_ptr<RunbyWindow> m_window;
};

void WindowTest::init()
{
    m_window = std::make_unique<RunbyWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void WindowTest::cleanup()
{
    m_window.reset();
    runby::speak(runby::kCatalogues.front());
}

void WindowTest::typeAndPressEnter(const QString &speed)
{
    QTest::keyClicks(QApplication::focusWidget(), speed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

void WindowTest::startsAsDesigned()
{
    QCOMPARE(m_window->objectName(), "frmRunby");
    QCOMPARE(m_window->windowTitle(), " Tarnvale          www.tarnvale.example");
    QCOMPARE(
        m_window->accessibleDescription(), "Minimum car runby calculator for hydraulic elevators");
    QCOMPARE(m_window->centralWidget()->size(), QSize(527, 252));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));

    QCOMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));
    for (const char *name :
        {"txtImperialSpeed", "txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"})
        QCOMPARE(text(name), QString());
    QVERIFY(!field("txtImperialSpeed")->isReadOnly());
    for (const char *name : {"txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"}) {
        QVERIFY(field(name)->isReadOnly());
        QCOMPARE(field(name)->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(field(name)->palette().color(QPalette::Base), kYellow);
    }
    QVERIFY(child<QRadioButton>("optImperial")->isChecked());
    QCOMPARE(child<QRadioButton>("optImperial")->palette().color(QPalette::WindowText), kRed);
    QVERIFY(child<QPushButton>("cmdCalculate")->isDefault());

    const QFont buttonFont = child<QPushButton>("cmdCalculate")->font();
    QVERIFY(buttonFont.bold());
    QCOMPARE(buttonFont.pointSizeF(), 9.75);
    for (const char *name :
        {"txtImperialSpeed", "txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"}) {
        QVERIFY2(field(name)->font().bold(), name);
        QCOMPARE(field(name)->font().pointSizeF(), 12.0);
    }
    QVERIFY(!child<QLabel>("Label1")->font().bold());
    QCOMPARE(child<QLabel>("Label1")->font().pointSizeF(), 13.5);
}

void WindowTest::placesControlsAtTheirDesignedGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const struct
    {
        const char *name;
        QRect geometry;
    } controls[] = {
        {"optImperial", {168, 64, 73, 17}},
        {"optMetric", {320, 64, 73, 17}},
        {"cmdClear", {314, 196, 85, 37}},
        {"cmdCalculate", {162, 196, 85, 37}},
        {"txtRunbyMillimeters", {310, 148, 93, 28}},
        {"txtMetricSpeed", {310, 104, 93, 28}},
        {"txtRunbyInches", {156, 148, 97, 28}},
        {"txtImperialSpeed", {156, 104, 97, 28}},
        {"Label9", {408, 156, 25, 21}},
        {"Label8", {408, 112, 33, 21}},
        {"Label7", {260, 156, 17, 21}},
        {"Label6", {260, 112, 33, 21}},
        {"Label5", {36, 156, 109, 21}},
        {"Label4", {36, 112, 49, 21}},
        {"Label1", {103, 16, 321, 25}},
    };
    for (const auto &control : controls)
        QTest::newRow(control.name) << control.name << control.geometry;
}

void WindowTest::placesControlsAtTheirDesignedGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    const QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QWidget *client = m_window->centralWidget();
    QVERIFY(client->isAncestorOf(widget));
    QCOMPARE(QRect(widget->mapTo(client, QPoint()), widget->size()), geometry);
    // Drawn and taking a click at its place: no container clips it or covers it.
    QVERIFY(widget->isVisible());
    QCOMPARE(client->childAt(geometry.center()), widget);
}

void WindowTest::showsLabelsWithTheirTooltips()
{
    const struct
    {
        const char *name;
        const char *caption;
        const char *toolTip;
    } labels[] = {
        {"Label1", "Tarnvale", ""},
        {"Label4", "Speed", " Operating speed in the down direction or rated speed up "},
        {"Label5", "Minimum Runby", ""},
        {"Label6", "FPM", " Feet per minute "},
        {"Label7", "IN", " Inches "},
        {"Label8", "MPS", " Meters per second "},
        {"Label9", "MM", " Millimeters "},
    };
    for (const auto &label : labels) {
        const QLabel *widget = child<QLabel>(label.name);
        QCOMPARE(widget->text(), QLatin1String(label.caption));
        QCOMPARE(widget->toolTip(), QLatin1String(label.toolTip));
        // Every caption fits its box in the font it is drawn in.
        QVERIFY2(
            widget->fontMetrics().horizontalAdvance(widget->text()) <= widget->width(), label.name);
    }
}

// The client area's controls whose caption, in the language the window speaks, is wider than the
// control: a label's text, or what a button or an option needs for its text and its frame or mark.
QStringList clippedCaptions(const RunbyWindow &window)
{
    using namespace runby;
    QStringList clipped;
    for (const ControlLayout &layout : clientControls()) {
        const auto *widget = window.findChild<QWidget *>(toQString(layout.name));
        const auto *label = qobject_cast<const QLabel *>(widget);
        const int needed = label ? label->fontMetrics().horizontalAdvance(label->text())
                                 : widget->sizeHint().width();
        if (layout.caption != Text::none && needed > widget->width())
            clipped << toQString(layout.name);
    }
    return clipped;
}

void WindowTest::captionsFitTheirControlsInEveryLanguage()
{
    using namespace runby;
    for (const Catalogue &catalogue : kCatalogues) {
        speak(catalogue);
        const RunbyWindow window;
        QVERIFY2(clippedCaptions(window).isEmpty(),
            qPrintable(toQString(catalogue.language) + ": " + clippedCaptions(window).join(", ")));
    }
    // A translation a good deal longer than English would clip these; they are listed, not failed.
    speak(kPseudoCatalogue);
    qInfo("with texts 40%% longer, clipped: %s",
        qPrintable(clippedCaptions(RunbyWindow()).join(", ")));
    speak(kCatalogues.front());
}

void WindowTest::computesTheTypicalRoadAndEmptiesResultsOnTheNextKeystroke()
{
    typeAndPressEnter("150");
    QCOMPARE(text("txtRunbyInches"), "4.5");
    QCOMPARE(text("txtRunbyMillimeters"), "114.3");
    QCOMPARE(text("txtMetricSpeed"), "0.762");
    QCOMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));

    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_5);
    QCOMPARE(text("txtImperialSpeed"), "1505");
    QCOMPARE(text("txtRunbyInches"), QString());
    QCOMPARE(text("txtRunbyMillimeters"), QString());
    QCOMPARE(text("txtMetricSpeed"), QString());
}

void WindowTest::computesTheMetricRoad()
{
    QTest::mouseClick(child<QRadioButton>("optMetric"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), field("txtMetricSpeed"));
    typeAndPressEnter("0.75");
    QCOMPARE(text("txtRunbyMillimeters"), "112.5");
    QCOMPARE(text("txtRunbyInches"), "4.429133858268");
    QCOMPARE(text("txtImperialSpeed"), "147.63779");

    QTest::keyClick(field("txtMetricSpeed"), Qt::Key_Backspace);
    QCOMPARE(text("txtImperialSpeed"), QString());
    typeAndPressEnter("0000001");
    QCOMPARE(text("txtMetricSpeed"), "0.7000000");
    QCOMPARE(text("txtRunbyMillimeters"), "105");
    QCOMPARE(text("txtImperialSpeed"), "137.79527");
    // A result wider than its field shows from its first digit.
    QCOMPARE(text("txtRunbyInches"), "4.1338582677168");
    QCOMPARE(field("txtRunbyInches")->cursorPosition(), 0);
}

void WindowTest::enterPressesCalculateFromEveryControlButAButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("inches");
    QTest::newRow("imperial speed") << "txtImperialSpeed"
                                    << "4.5";
    QTest::newRow("runby inches") << "txtRunbyInches"
                                  << "4.5";
    QTest::newRow("metric speed") << "txtMetricSpeed"
                                  << "4.5";
    QTest::newRow("imperial option") << "optImperial"
                                     << "4.5";
    QTest::newRow("calculate") << "cmdCalculate"
                               << "4.5";
    QTest::newRow("clear presses itself") << "cmdClear"
                                          << "";
}

void WindowTest::enterPressesCalculateFromEveryControlButAButton()
{
    QFETCH(QString, focus);
    QFETCH(QString, inches);
    QTest::keyClicks(field("txtImperialSpeed"), "150");
    QWidget *target = m_window->findChild<QWidget *>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(text("txtRunbyInches"), inches);
}

void WindowTest::tabVisitsTheEditableFieldButtonsAndSelectedOption()
{
    const char *order[] = {"cmdCalculate", "cmdClear", "optImperial", "txtImperialSpeed"};
    for (const char *expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(expected));
    }
}

void WindowTest::accessKeysReachEveryControl()
{
    QTest::keyClick(m_window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(child<QRadioButton>("optMetric")->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), field("txtMetricSpeed"));

    QTest::keyClicks(field("txtMetricSpeed"), "2");
    QTest::keyClick(m_window.get(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(text("txtRunbyMillimeters"), "150");

    QTest::keyClick(m_window.get(), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(text("txtMetricSpeed"), QString());
    QCOMPARE(text("txtRunbyMillimeters"), QString());

    QTest::keyClick(m_window.get(), Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(child<QRadioButton>("optImperial")->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));

    QMenu *help = m_window->menuBar()->findChild<QMenu *>("mnuHelp");
    QVERIFY(help);
    QTest::keyClick(m_window.get(), Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(help->isVisible());
    QTest::keyClick(help, Qt::Key_Escape);
    QTRY_VERIFY(!help->isVisible());
}

void WindowTest::speedFieldsRefuseATenthCharacterTypedOrPasted()
{
    QTest::keyClicks(field("txtImperialSpeed"), "0.49999999");
    QCOMPARE(text("txtImperialSpeed"), "0.4999999");

    QTest::keyClick(m_window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(QApplication::focusWidget(), field("txtMetricSpeed"));
    QTest::keyClicks(field("txtMetricSpeed"), ".49999999");
    QCOMPARE(text("txtMetricSpeed"), ".49999999");
    QTest::keyClick(field("txtMetricSpeed"), Qt::Key_Return);
    QCOMPARE(text("txtRunbyMillimeters"), "75");

    QGuiApplication::clipboard()->setText("1234567890");
    QTest::keyClick(m_window.get(), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(text("txtMetricSpeed"), QString());
    field("txtMetricSpeed")->setFocus();
    QTest::keyClick(field("txtMetricSpeed"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text("txtMetricSpeed"), "123456789");
}

void WindowTest::resultFieldsRefuseKeysButTakeAClick()
{
    typeAndPressEnter("150");
    for (const char *name : {"txtRunbyInches", "txtRunbyMillimeters", "txtMetricSpeed"}) {
        QLineEdit *result = field(name);
        const QString before = result->text();
        QTest::mouseClick(result, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), result);
        QTest::keyClicks(result, "9");
        QTest::keyClick(result, Qt::Key_Backspace);
        QCOMPARE(result->text(), before);
        result->selectAll();
        QCOMPARE(result->selectedText(), before);
    }
}

void WindowTest::switchingModesSwapsColoursAndFocus()
{
    {
        // The focus goes to the metric field without passing through the imperial one, where a
        // screen reader would name it.
        FocusTrail trail;
        QTest::mouseClick(child<QRadioButton>("optMetric"), Qt::LeftButton);
        QVERIFY2(!trail.names.contains("txtImperialSpeed"), qPrintable(trail.names.join(' ')));
    }
    QCOMPARE(field("txtImperialSpeed")->palette().color(QPalette::Base), kYellow);
    QVERIFY(field("txtImperialSpeed")->isReadOnly());
    QCOMPARE(field("txtImperialSpeed")->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(field("txtMetricSpeed")->palette().color(QPalette::Base), kWhite);
    QVERIFY(!field("txtMetricSpeed")->isReadOnly());
    QCOMPARE(field("txtMetricSpeed")->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(child<QRadioButton>("optMetric")->palette().color(QPalette::WindowText), kRed);
    QCOMPARE(child<QRadioButton>("optImperial")->palette().color(QPalette::WindowText), kBlack);
    QCOMPARE(QApplication::focusWidget(), field("txtMetricSpeed"));

    QTest::keyClicks(field("txtMetricSpeed"), "0.5");
    QTest::mouseClick(child<QRadioButton>("optMetric"), Qt::LeftButton);
    QCOMPARE(text("txtMetricSpeed"), "0.5");

    QTest::mouseClick(child<QRadioButton>("optImperial"), Qt::LeftButton);
    QCOMPARE(text("txtMetricSpeed"), QString());
    QCOMPARE(field("txtMetricSpeed")->palette().color(QPalette::Base), kYellow);
    QCOMPARE(field("txtImperialSpeed")->palette().color(QPalette::Base), kWhite);
    QCOMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));
}

void WindowTest::runbyInfoShowsTheRuleAndLeavesEverythingAsItWas_data()
{
    using Close = std::function<void(QMessageBox *)>;
    QTest::addColumn<Close>("close");
    QTest::newRow("Enter") << Close([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
    QTest::newRow("Esc") << Close([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    QTest::newRow("OK clicked") << Close(
        [](QMessageBox *box) { QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton); });
    QTest::newRow("close box") << Close([](QMessageBox *box) { box->close(); });
}

void WindowTest::runbyInfoShowsTheRuleAndLeavesEverythingAsItWas()
{
    QFETCH(std::function<void(QMessageBox *)>, close);
    QTest::keyClicks(field("txtImperialSpeed"), "12");

    QString title;
    QString message;
    QStringList focused;
    bool closed = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            qFatal("no modal message box");
        title = box->windowTitle();
        message = box->text();
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        const bool okFocused =
            QTest::qWaitFor([box] { return box->buttons().constFirst()->hasFocus(); });
        if (!okFocused)
            focused << "nothing";
        for (QWidget *widget : box->findChildren<QWidget *>())
            if (QAccessible::queryAccessibleInterface(widget)->state().focused)
                focused << widget->metaObject()->className();
        close(box);
        closed = true;
    });
    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(closed);

    QCOMPARE(title, "Runby Information");
    // One object has the focus for assistive technology: OK.
    QCOMPARE(focused, QStringList{"QPushButton"});
    const QStringList lines = message.split('\n');
    QCOMPARE(lines.size(), 23);
    QVERIFY(!message.contains('\r'));
    QCOMPARE(lines.first(), "300.8b Minimum Bottom and Top Car Runby");
    QCOMPARE(lines.at(10), "   the down direction  exceeding 1.00 m/s (200 ft/min).");
    QCOMPARE(lines.last(), "Note: The maximum top or bottom runby is 600 mm (24 in.).");
    QCOMPARE(text("txtImperialSpeed"), "12");
    QCOMPARE(m_window->focusWidget(), field("txtImperialSpeed"));
}

void WindowTest::keepsItsColoursUnderADarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(40, 40, 40));
    dark.setColor(QPalette::ButtonText, Qt::white);
    const QPalette original = QApplication::palette();
    QApplication::setPalette(dark);
    RunbyWindow window;
    QApplication::setPalette(original);

    const auto color = [&](const char *name, QPalette::ColorRole role) {
        return window.findChild<QWidget *>(QLatin1String(name))->palette().color(role);
    };
    QCOMPARE(color("txtImperialSpeed", QPalette::Text), kBlack);
    QCOMPARE(color("txtImperialSpeed", QPalette::Base).lightness(), 255);
    QCOMPARE(color("txtRunbyInches", QPalette::Text), kBlack);
    QCOMPARE(color("txtRunbyInches", QPalette::Base), kYellow);
    QCOMPARE(color("optImperial", QPalette::WindowText), kRed);
    QVERIFY(color("Label4", QPalette::WindowText).lightness() < 64);
    QVERIFY(color("Label4", QPalette::Window).lightness() > 192);
}

void WindowTest::keepsItsFontsUnderALargeDesktopFont()
{
    const QFont original = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Liberation Mono"), 14));
    RunbyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QMenu *help = window.menuBar()->findChild<QMenu *>("mnuHelp");
    for (QWidget *control : QList<QWidget *>{window.findChild<QRadioButton *>("optImperial"),
             window.findChild<QRadioButton *>("optMetric"), window.menuBar(), help}) {
        QCOMPARE(control->font().family(), "Liberation Sans");
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QVERIFY2(!control->font().bold(), qPrintable(control->objectName()));
    }
    for (const char *name : {"optImperial", "optMetric"}) {
        const QRadioButton *option = window.findChild<QRadioButton *>(name);
        QVERIFY2(option->sizeHint().width() <= option->width(), name);
    }

    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            qFatal("no modal message box");
        const auto *label = box->findChild<QLabel *>("qt_msgbox_label");
        // The 23 lines of the rule stand as they are, unwrapped.
        QVERIFY(label && !label->wordWrap());
        QCOMPARE(label->font().family(), "Liberation Sans");
        QCOMPARE(label->font().pointSizeF(), 8.25);
        QVERIFY(box->palette().color(QPalette::Window).lightness() > 192);
        box->close();
        checked = true;
    });
    window.findChild<QAction *>("mnuRunbyInfo")->trigger();
    QApplication::setFont(original);
    QVERIFY(checked);
}

namespace {

// The names under an accessible object in the order of its children, a group's members in
// brackets after its name.
QStringList accessibleNamesBelow(QAccessibleInterface *parent)
{
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        QString name = child->text(QAccessible::Name);
        if (child->childCount() > 0)
            name += " [" + accessibleNamesBelow(child).join(", ") + "]";
        names << name;
    }
    return names;
}

} // namespace

void WindowTest::namesEveryControlForAssistiveTechnologyInReadingOrder()
{
    QAccessibleInterface *client = QAccessible::queryAccessibleInterface(m_window->centralWidget());
    QVERIFY(client);
    QCOMPARE(accessibleNamesBelow(client),
        QStringList({"Tarnvale", "Units [Imperial, Metric]", "Speed", "Speed in feet per minute",
            "FPM", "Speed in meters per second", "MPS", "Minimum Runby", "Minimum runby in inches",
            "IN", "Minimum runby in millimeters", "MM", "Calculate", "Clear"}));
    QCOMPARE(field("txtImperialSpeed")->accessibleDescription(),
        "Operating speed in the down direction or rated speed up");
}

// A locked field is read-only and nothing else; the open one is edited through the field's own
// input rules, whoever edits it.
void WindowTest::fieldsAreEditableOrReadOnlyNeverBoth()
{
    for (const char *name :
        {"txtImperialSpeed", "txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"}) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field(name));
        const bool locked = field(name)->isReadOnly();
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QCOMPARE(accessible->state().readOnly, locked);
        QCOMPARE(accessible->state().editable, !locked);
        QCOMPARE(accessible->editableTextInterface() == nullptr, locked);
        QVERIFY(accessible->textInterface());
    }
    QVERIFY(!field("txtImperialSpeed")->isReadOnly() && field("txtMetricSpeed")->isReadOnly());

    QAccessibleInterface *speed = QAccessible::queryAccessibleInterface(field("txtImperialSpeed"));
    speed->editableTextInterface()->insertText(0, QString::fromUtf8("1\u200b50"));
    QCOMPARE(speed->text(QAccessible::Value), "150");
    speed->editableTextInterface()->insertText(1, "2");
    QCOMPARE(speed->text(QAccessible::Value), "1250");
    speed->editableTextInterface()->insertText(4, "1234567");
    QCOMPARE(speed->text(QAccessible::Value), "125012345");
    QCOMPARE(speed->textInterface()->text(1, 3), "25");
    QAccessibleInterface *inches = QAccessible::queryAccessibleInterface(field("txtRunbyInches"));
    inches->setText(QAccessible::Value, "9");
    QCOMPARE(text("txtRunbyInches"), QString());
    QVERIFY(speed->textInterface()->characterRect(0).width() > 0);
}

// The sentence comes as a notification, shown anew for each sentence, which screen readers speak
// whatever has the focus; its label holds the sentence, which they show in braille. The
// notification has no size and stands outside the client area.
void WindowTest::tellsScreenReadersTheResultWithoutMovingTheFocus()
{
    QWidget *notice = m_window->findChild<QWidget *>("announcement");
    QVERIFY(notice);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(notice);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Notification);
    QVERIFY(accessible->state().invisible);
    QCOMPARE(accessible->childCount(), 1);
    QCOMPARE(accessible->child(0)->role(), QAccessible::StaticText);

    ShownSentences shown(notice);
    typeAndPressEnter("150");
    QVERIFY(!accessible->state().invisible);
    QCOMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
    typeAndPressEnter("0");
    const QString sentence = "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second";
    QCOMPARE(shown.sentences,
        QStringList({sentence, sentence, "Metric selected",
            "The speed is not positive; the fields were cleared."}));
    QCOMPARE(accessible->child(0)->text(QAccessible::Name), shown.sentences.last());
    QVERIFY(notice->size().isEmpty());
    QVERIFY(!m_window->centralWidget()->isAncestorOf(notice));
}

void WindowTest::calculateIsTheDefaultButtonUnlessClearHasTheFocus()
{
    // From the first frame, before the window is ever active.
    const RunbyWindow inactive;
    QVERIFY(inactive.findChild<QPushButton *>("cmdCalculate")->isDefault());

    auto *calculate = child<QPushButton>("cmdCalculate");
    auto *clear = child<QPushButton>("cmdClear");
    const struct
    {
        const char *focus;
        bool calculateDefault;
        bool clearDefault;
    } steps[] = {
        {"cmdCalculate", true, false},
        {"cmdClear", false, true},
        {"optImperial", true, false},
        {"txtImperialSpeed", true, false},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto &step : steps) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(step.focus));
            QCOMPARE(calculate->isDefault(), step.calculateDefault);
            QCOMPARE(clear->isDefault(), step.clearDefault);
        }
    }
}

void WindowTest::aLoneAltLosesNoKey()
{
    QTest::keyClicks(field("txtImperialSpeed"), "15");
    QTest::keyPress(m_window.get(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(m_window.get(), Qt::Key_Alt);
    QTest::keyClicks(QApplication::focusWidget(), "0");
    QCOMPARE(text("txtImperialSpeed"), "150");
    QCOMPARE(QApplication::focusWidget(), field("txtImperialSpeed"));
    QTest::keyClick(m_window.get(), Qt::Key_H, Qt::AltModifier);
    QMenu *help = m_window->menuBar()->findChild<QMenu *>("mnuHelp");
    QTRY_VERIFY(help->isVisible());
    QTest::keyClick(help, Qt::Key_Escape);
}

// A field's context menu, Qt's own, in French where the program speaks French.
void WindowTest::qtsOwnTextsSpeakTheProgramsLanguage()
{
    QVERIFY(!runby::speakInQt(*QCoreApplication::instance(), "en"));
    QTranslator *french = runby::speakInQt(*QCoreApplication::instance(), "fr");
    QVERIFY(french);
    const QString undo = QCoreApplication::translate("QLineEdit", "&Undo");
    QCoreApplication::removeTranslator(french);
    delete french;
    QCOMPARE(undo, "&Annuler");
}

QStringList WindowTest::fieldTexts() const
{
    return {text("txtImperialSpeed"), text("txtMetricSpeed"), text("txtRunbyInches"),
        text("txtRunbyMillimeters")};
}

void WindowTest::loseNoKeySentBackToBack_data()
{
    QTest::addColumn<runby::KeySession>("session");
    QTest::addColumn<const runby::Catalogue *>("catalogue");
    for (const runby::Catalogue &catalogue : runby::kCatalogues)
        for (const runby::KeySession &session : runby::readKeySessions(catalogue.language))
            QTest::addRow("%s: %s", catalogue.language.data(), session.what.c_str())
                << session << &catalogue;
}

namespace {

// Sends a key session's steps from the first one given, each to the widget that has the focus
// when it comes, with no pause between them. A step that opens the message box runs the box's own
// event loop: the steps after it are sent from there, and once the box is closed, to the window.
class SessionSender
{
public:
    SessionSender(const std::vector<runby::KeyStep> &steps, QWidget *window)
        : m_steps(steps), m_window(window)
    {
    }

    void sendFrom(std::size_t first)
    {
        for (std::size_t i = first; i < m_steps.size(); ++i) {
            bool resumed = false;
            QTimer resume;
            resume.setSingleShot(true);
            QObject::connect(&resume, &QTimer::timeout, [this, &resumed, i] {
                resumed = true;
                sendFrom(i + 1);
            });
            resume.start(0);
            send(m_steps.at(i));
            if (resumed)
                return;
        }
    }

private:
    QWidget *target() const
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible())
            return modal->focusWidget() ? modal->focusWidget() : modal;
        return m_window->focusWidget();
    }

    void send(const runby::KeyStep &step) const
    {
        using Kind = runby::KeyStep::Kind;
        static const QMap<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> named{
            {"Return", {Qt::Key_Return, Qt::NoModifier}},
            {"KP_Enter", {Qt::Key_Enter, Qt::KeypadModifier}},
            {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
            {"Left", {Qt::Key_Left, Qt::NoModifier}},
            {"Right", {Qt::Key_Right, Qt::NoModifier}},
            {"Up", {Qt::Key_Up, Qt::NoModifier}},
            {"Down", {Qt::Key_Down, Qt::NoModifier}},
            {"Escape", {Qt::Key_Escape, Qt::NoModifier}},
            {"Alt_L", {Qt::Key_Alt, Qt::NoModifier}},
        };
        const QString text = QString::fromStdU16String(step.text);
        switch (step.kind) {
        case Kind::Key: {
            const auto key = named.value(QString::fromStdString(step.name));
            QTest::keyClick(target(), key.first, key.second);
            break;
        }
        case Kind::Alt:
        case Kind::Ctrl:
            QTest::keyClick(target(), step.name.front(),
                step.kind == Kind::Alt ? Qt::AltModifier : Qt::ControlModifier);
            break;
        case Kind::Paste:
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(target(), Qt::Key_V, Qt::ControlModifier);
            break;
        case Kind::Click:
            QTest::mouseClick(clicked(step.name), Qt::LeftButton);
            break;
        case Kind::Type:
            // Each character as the keyboard sends it, with its text.
            for (const QChar c : text)
                QTest::sendKeyEvent(
                    QTest::Click, target(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            break;
        }
    }

    QWidget *clicked(const std::string &name) const
    {
        if (name == "OK")
            return qobject_cast<QMessageBox *>(QApplication::activeModalWidget())
                ->button(QMessageBox::Ok);
        return m_window->findChild<QWidget *>(QString::fromStdString(name));
    }

    const std::vector<runby::KeyStep> &m_steps;
    QWidget *m_window;
};

} // namespace

void WindowTest::loseNoKeySentBackToBack()
{
    QFETCH(runby::KeySession, session);
    QFETCH(const runby::Catalogue *, catalogue);
    if (catalogue != &runby::kCatalogues.front()) {
        runby::speak(*catalogue);
        init();
    }
    SessionSender(session.steps, m_window.get()).sendFrom(0);
    QStringList expected;
    for (const std::string &field : session.fields)
        expected << QString::fromStdString(field);
    QCOMPARE(fieldTexts(), expected);
}

void WindowTest::speedFieldsShowWhatTheCalculationReads_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("inches");
    QTest::newRow("zero-width space") << QStringLiteral("1\u200B50") << "150"
                                      << "4.5";
    QTest::newRow("no-break space") << QStringLiteral("1\u00A0500") << "1 500"
                                    << "6";
    QTest::newRow("control characters") << QStringLiteral("1\x01"
                                                          "5\x07"
                                                          "0")
                                        << "150"
                                        << "4.5";
    QTest::newRow("direction marks") << QStringLiteral("\u200E1\u200F50\uFEFF") << "150"
                                     << "4.5";
    QTest::newRow("emoji past the limit") << QStringLiteral("12345678\U0001F600") << "12345678"
                                          << "6";
    QTest::newRow("comma") << "1,5"
                           << "1,5"
                           << "3";
    QTest::newRow("full-width digits")
        << QStringLiteral("\uFF11\uFF15\uFF10") << QStringLiteral("\uFF11\uFF15\uFF10") << "";
}

void WindowTest::speedFieldsShowWhatTheCalculationReads()
{
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QFETCH(QString, inches);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text("txtImperialSpeed"), shown);
    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_Return);
    QCOMPARE(text("txtRunbyInches"), inches);
}

// Every character the desktop's Unicode tables file as a format character is dropped, every
// separator becomes a blank, and nothing else changes.
void WindowTest::speedFieldsDropEveryInvisibleCharacterAndBlankEverySeparator()
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString typed = QString::fromUcs4(&c, 1);
        const std::u16string utf16(QStringView(typed).utf16(), typed.size());
        const QChar::Category category = QChar::category(c);
        std::u16string expected = utf16;
        if (category == QChar::Other_Format
            || (category == QChar::Other_Control && c != u'\t' && c != u'\n'))
            expected.clear();
        else if (category == QChar::Separator_Space || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            expected.assign(1, u' ');
        const std::u16string kept = runby::cleanTypedText(utf16);
        // Tables newer than the desktop's may know format characters it does not.
        const bool newerFormat = kept.empty() && category == QChar::Other_NotAssigned;
        if (kept != expected && !newerFormat)
            QFAIL(qPrintable(QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QChar('0'))));
    }
}

void WindowTest::doubleClickSelectsTheWholeNumber()
{
    typeAndPressEnter("150");
    for (const char *name : {"txtRunbyMillimeters", "txtImperialSpeed"}) {
        QLineEdit *number = field(name);
        QTest::mouseDClick(number, Qt::LeftButton, {}, QPoint(12, number->height() / 2));
        QCOMPARE(number->selectedText(), number->text());
    }
}

void WindowTest::showsAResultWiderThanItsFieldInItsTooltip()
{
    QTest::mouseClick(child<QRadioButton>("optMetric"), Qt::LeftButton);
    typeAndPressEnter("0.75");
    QCOMPARE(field("txtRunbyInches")->toolTip(), "4.429133858268");
    QCOMPARE(field("txtRunbyMillimeters")->toolTip(), QString());
    QCOMPARE(field("txtImperialSpeed")->toolTip(), QString());
    QTest::keyClick(m_window.get(), Qt::Key_L, Qt::AltModifier);
    QCOMPARE(field("txtRunbyInches")->toolTip(), QString());
}

void WindowTest::runbyInfoCopiesTheWholeMessage()
{
    QString copied;
    QTimer::singleShot(0, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            qFatal("no modal message box");
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
        box->close();
    });
    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_R, Qt::ControlModifier);
    const QString rule = "---------------------------";
    const QStringList lines = copied.split('\n');
    QCOMPARE(lines.size(), 23 + 7);
    QCOMPARE(lines.mid(0, 4),
        QStringList({rule, "Runby Information", rule, "300.8b Minimum Bottom and Top Car Runby"}));
    QCOMPARE(lines.at(25), "Note: The maximum top or bottom runby is 600 mm (24 in.).");
    QCOMPARE(lines.mid(26), QStringList({rule, "OK   ", rule, ""}));
}

void WindowTest::centresTheFramedWindowOnTheScreenOfThePointer()
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        QCursor::setPos(screen->geometry().center());
        RunbyWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect area = screen->availableGeometry();
        QTRY_VERIFY2((window.frameGeometry().center() - area.center()).manhattanLength() <= 1,
            qPrintable(screen->name()));
        QVERIFY(window.frameGeometry() != window.geometry());
    }
}

// Under Wayland the window draws its own title bar, since the toolkit's would offer maximise.
void WindowTest::ownTitleBarOffersMinimiseAndCloseOnly()
{
    QWidget window;
    window.setWindowTitle("before");
    auto *bar = new runby::TitleBar(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList buttons;
    for (const QToolButton *button : bar->findChildren<QToolButton *>()) {
        buttons << button->accessibleName();
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(buttons, QStringList({"Minimize", "Close"}));
    window.setWindowTitle("after");
    QStringList captions;
    for (const QLabel *label : bar->findChildren<QLabel *>())
        captions << label->text();
    QVERIFY(captions.contains("after"));

    bar->findChildren<QToolButton *>().last()->click();
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
