#include "runby_window.h"

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
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(std::function<void(QMessageBox *)>)

#include <functional>
#include <memory>

using runby::RunbyWindow;

namespace {

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

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
    void namesEveryControlForAssistiveTechnology();

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
    QCOMPARE(field("txtImperialSpeed")->font().pointSizeF(), 12.0);
    QVERIFY(!child<QLabel>("Label1")->font().bold());
    QCOMPARE(child<QLabel>("Label1")->font().pointSizeF(), 13.5);
}

void WindowTest::placesControlsAtTheirDesignedGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("optImperial") << "optImperial" << QRect(168, 64, 73, 17);
    QTest::newRow("optMetric") << "optMetric" << QRect(320, 64, 73, 17);
    QTest::newRow("cmdCalculate") << "cmdCalculate" << QRect(162, 196, 85, 37);
    QTest::newRow("cmdClear") << "cmdClear" << QRect(314, 196, 85, 37);
    QTest::newRow("txtImperialSpeed") << "txtImperialSpeed" << QRect(156, 104, 97, 28);
    QTest::newRow("txtMetricSpeed") << "txtMetricSpeed" << QRect(310, 104, 93, 28);
    QTest::newRow("txtRunbyInches") << "txtRunbyInches" << QRect(156, 148, 97, 28);
    QTest::newRow("txtRunbyMillimeters") << "txtRunbyMillimeters" << QRect(310, 148, 93, 28);
    QTest::newRow("Label1") << "Label1" << QRect(103, 16, 321, 25);
    QTest::newRow("Label5") << "Label5" << QRect(36, 156, 109, 21);
}

void WindowTest::placesControlsAtTheirDesignedGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    const QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->parentWidget(), m_window->centralWidget());
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
    QTest::keyClick(target, Qt::Key_Enter);
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
    QTest::mouseClick(child<QRadioButton>("optMetric"), Qt::LeftButton);
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
    bool closed = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            qFatal("no modal message box");
        title = box->windowTitle();
        message = box->text();
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        close(box);
        closed = true;
    });
    QTest::keyClick(field("txtImperialSpeed"), Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(closed);

    QCOMPARE(title, "Runby Information");
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

void WindowTest::namesEveryControlForAssistiveTechnology()
{
    QList<QWidget *> controls;
    for (QWidget *control : m_window->centralWidget()->findChildren<QWidget *>())
        if (control->focusPolicy() != Qt::NoFocus)
            controls.append(control);
    QCOMPARE(controls.size(), 8);
    for (QWidget *control : controls) {
        const QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(field("txtMetricSpeed")->accessibleName(), "Speed in meters per second");
    QCOMPARE(field("txtImperialSpeed")->accessibleDescription(),
        "Operating speed in the down direction or rated speed up");
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
