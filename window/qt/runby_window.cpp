#include "runby_window.h"

#include "calculator_form.h"
#include "controls.h"
#include "qt_controls.h"
#include "title_bar.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <string_view>

namespace runby {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QSize kClientSizeTwips{7905, 3780};

const QString kCaption = QStringLiteral(" Tarnvale          www.tarnvale.example");

// Left, top, width and height in twips.
QRect fromTwips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
        height / kTwipsPerPixel};
}

enum class Face { Default, Bold975, Bold12, Regular135 };

// The captions are designed for MS Sans Serif, a Windows bitmap face, in the sizes below or, where
// the design names no font, in the dialog font's 8.25 points. They are drawn in Liberation Sans,
// whose Arial metrics keep every caption inside its box; the desktop's own font, whatever its
// face and size, would cut them. Looking for the Windows face first would cost every start a
// failed font lookup.
QFont fontFor(Face face)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans")});
    switch (face) {
    case Face::Default:
        font.setPointSizeF(8.25);
        break;
    case Face::Bold975:
        font.setPointSizeF(9.75);
        break;
    case Face::Bold12:
        font.setPointSizeF(12);
        break;
    case Face::Regular135:
        font.setPointSizeF(13.5);
        break;
    }
    font.setBold(face == Face::Bold975 || face == Face::Bold12);
    return font;
}

// A fixed frame with minimise and close but no maximise. Where the window draws its own title
// bar, the desktop draws no frame at all.
Qt::WindowFlags frameFlags()
{
    if (TitleBar::isNeeded())
        return Qt::Window | Qt::FramelessWindowHint;
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

template <typename Widget>
Widget *place(QWidget *parent, const char *name, QRect geometry, Face face)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->setFont(fontFor(face));
    return widget;
}

QLabel *placeLabel(QWidget *parent, const char *name, const char *caption, QRect geometry,
    Face face, const char *toolTip = nullptr)
{
    auto *label = place<QLabel>(parent, name, geometry, face);
    label->setText(QLatin1String(caption));
    if (toolTip)
        label->setToolTip(QLatin1String(toolTip));
    return label;
}

NumberField *placeField(
    QWidget *parent, const char *name, QRect geometry, const char *accessibleName)
{
    auto *field = place<NumberField>(parent, name, geometry, Face::Bold12);
    field->setAccessibleName(QLatin1String(accessibleName));
    return field;
}

} // namespace

struct RunbyWindow::Controls
{
    explicit Controls(QMainWindow *window);
    Controls(const Controls &) = delete;
    Controls &operator=(const Controls &) = delete;

    QWidget *client;
    QRadioButton *optImperial;
    QRadioButton *optMetric;
    QPushButton *cmdClear;
    QPushButton *cmdCalculate;
    NumberField *txtRunbyMillimeters;
    NumberField *txtMetricSpeed;
    NumberField *txtRunbyInches;
    NumberField *txtImperialSpeed;
    QAction *mnuRunbyInfo;

    LineEditBox imperialSpeedBox{txtImperialSpeed, kSpeedFieldLength};
    LineEditBox metricSpeedBox{txtMetricSpeed, kSpeedFieldLength};
    LineEditBox runbyInchesBox{txtRunbyInches};
    LineEditBox runbyMillimetersBox{txtRunbyMillimeters};
    RadioOption imperialOption{optImperial};
    RadioOption metricOption{optMetric};
    ModalMessageBox messageBox;

private:
    void placeLabels();
    void setUpButtons();
    void setUpFields();
    void setUpMenu(QMainWindow *window);
    void orderForReading();
};

// Creates the controls in the order of the window's design, at their places in twips.
RunbyWindow::Controls::Controls(QMainWindow *window)
    : client(new QWidget(window)),
      optImperial(place<QRadioButton>(
          client, "optImperial", fromTwips(2520, 960, 1095, 255), Face::Default)),
      optMetric(
          place<QRadioButton>(client, "optMetric", fromTwips(4800, 960, 1095, 255), Face::Default)),
      cmdClear(
          place<QPushButton>(client, "cmdClear", fromTwips(4710, 2940, 1275, 555), Face::Bold975)),
      cmdCalculate(place<QPushButton>(
          client, "cmdCalculate", fromTwips(2430, 2940, 1275, 555), Face::Bold975)),
      txtRunbyMillimeters(placeField(client, "txtRunbyMillimeters",
          fromTwips(4650, 2220, 1395, 420), "Minimum runby in millimeters")),
      txtMetricSpeed(placeField(client, "txtMetricSpeed", fromTwips(4650, 1560, 1395, 420),
          "Speed in meters per second")),
      txtRunbyInches(placeField(
          client, "txtRunbyInches", fromTwips(2340, 2220, 1455, 420), "Minimum runby in inches")),
      txtImperialSpeed(placeField(client, "txtImperialSpeed", fromTwips(2340, 1560, 1455, 420),
          "Speed in feet per minute")),
      mnuRunbyInfo(new QAction(QStringLiteral("&Runby Info"), window)),
      messageBox(window)
{
    placeLabels();
    setUpButtons();
    setUpFields();
    setUpMenu(window);
    orderForReading();
    client->setFixedSize(kClientSizeTwips / kTwipsPerPixel);
    window->setCentralWidget(client);
}

void RunbyWindow::Controls::placeLabels()
{
    placeLabel(
        client, "Label9", "MM", fromTwips(6120, 2340, 375, 315), Face::Bold975, " Millimeters ");
    placeLabel(client, "Label8", "MPS", fromTwips(6120, 1680, 495, 315), Face::Bold975,
        " Meters per second ");
    placeLabel(client, "Label7", "IN", fromTwips(3900, 2340, 255, 315), Face::Bold975, " Inches ");
    placeLabel(client, "Label6", "FPM", fromTwips(3900, 1680, 495, 315), Face::Bold975,
        " Feet per minute ");
    placeLabel(client, "Label5", "Minimum Runby", fromTwips(540, 2340, 1635, 315), Face::Bold975);
    placeLabel(client, "Label4", "Speed", fromTwips(540, 1680, 735, 315), Face::Bold975,
        " Operating speed in the down direction or rated speed up ");
    placeLabel(client, "Label1", "Tarnvale", fromTwips(1545, 240, 4815, 375), Face::Regular135)
        ->setAlignment(Qt::AlignCenter);
}

void RunbyWindow::Controls::setUpButtons()
{
    optImperial->setText(QStringLiteral("&Imperial"));
    optImperial->setChecked(true);
    optMetric->setText(QStringLiteral("&Metric"));
    cmdClear->setText(QStringLiteral("C&lear"));
    cmdCalculate->setText(QStringLiteral("&Calculate"));
    // Enter on a focused button presses that button; anywhere else it presses Calculate.
    cmdClear->setAutoDefault(true);
    cmdCalculate->setAutoDefault(true);
    cmdCalculate->setDefault(true);
    // Tab stops at the selected unit option only, as in any group of options.
    for (QRadioButton *option : {optImperial, optMetric}) {
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        QObject::connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
    new ImmediateButtons(
        {optImperial, optMetric, cmdClear, cmdCalculate}, optImperial, optMetric, client);
}

void RunbyWindow::Controls::setUpFields()
{
    const QString speedDescription =
        client->findChild<QLabel *>(QStringLiteral("Label4"))->toolTip().trimmed();
    for (NumberField *speed : {txtImperialSpeed, txtMetricSpeed}) {
        speed->setValidator(new SpeedValidator(kSpeedFieldLength, speed));
        speed->setAccessibleDescription(speedDescription);
    }
    for (NumberField *field :
        {txtImperialSpeed, txtMetricSpeed, txtRunbyInches, txtRunbyMillimeters}) {
        // The text stays black on white or yellow whatever the desktop's colour scheme.
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, Qt::black);
        field->setPalette(palette);
    }
    makeDisplayOnly(runbyInchesBox);
    makeDisplayOnly(runbyMillimetersBox);

    QWidget::setTabOrder(txtImperialSpeed, txtMetricSpeed);
    QWidget::setTabOrder(txtMetricSpeed, cmdCalculate);
    QWidget::setTabOrder(cmdCalculate, cmdClear);
    QWidget::setTabOrder(cmdClear, optImperial);
    QWidget::setTabOrder(optImperial, optMetric);
    QWidget::setTabOrder(optMetric, txtRunbyInches);
    QWidget::setTabOrder(txtRunbyInches, txtRunbyMillimeters);
}

void RunbyWindow::Controls::setUpMenu(QMainWindow *window)
{
    mnuRunbyInfo->setObjectName(QStringLiteral("mnuRunbyInfo"));
    mnuRunbyInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    auto *menuBar = new QMenuBar(window);
    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    // The menu opens as a window of its own, which inherits neither colours nor font.
    help->setPalette(designPalette());
    help->setFont(fontFor(Face::Default));
    help->addAction(mnuRunbyInfo);
    if (!TitleBar::isNeeded()) {
        window->setMenuBar(menuBar);
        return;
    }
    auto *top = new QWidget(window);
    auto *rows = new QVBoxLayout(top);
    rows->setContentsMargins(QMargins());
    rows->setSpacing(0);
    rows->addWidget(new TitleBar(window));
    rows->addWidget(menuBar);
    window->setMenuWidget(top);
}

// Assistive technology reads a window's controls in their stacking order: row by row, as they
// stand on the screen, rather than in the order of their creation.
void RunbyWindow::Controls::orderForReading()
{
    for (const char *name : {"Label1", "optImperial", "optMetric", "Label4", "txtImperialSpeed",
             "Label6", "txtMetricSpeed", "Label8", "Label5", "txtRunbyInches", "Label7",
             "txtRunbyMillimeters", "Label9", "cmdCalculate", "cmdClear"})
        client->findChild<QWidget *>(QLatin1String(name))->raise();
}

RunbyWindow::RunbyWindow(QWidget *parent) : QMainWindow(parent, frameFlags())
{
    setObjectName(QStringLiteral("frmRunby"));
    setWindowTitle(kCaption);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/runby-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/runby-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // The window keeps its designed look under any desktop colour scheme and font.
    setPalette(designPalette());
    setFont(fontFor(Face::Default));
    m_controls = std::make_unique<Controls>(this);
    Controls &c = *m_controls;
    m_form = std::make_unique<CalculatorForm>(
        CalculatorForm::Controls{c.imperialSpeedBox, c.metricSpeedBox, c.runbyInchesBox,
            c.runbyMillimetersBox, c.imperialOption, c.metricOption, c.messageBox});
    connectEvents();
    m_form->Form_Load();
    c.txtImperialSpeed->setFocus(Qt::OtherFocusReason);
    setFixedSize(sizeHint());
    centreOnScreen();
}

RunbyWindow::~RunbyWindow() = default;

void RunbyWindow::connectEvents()
{
    Controls &c = *m_controls;
    CalculatorForm &form = *m_form;
    connect(c.optImperial, &QRadioButton::clicked, this, [&form] { form.optImperial_Click(); });
    connect(c.optMetric, &QRadioButton::clicked, this, [&form] { form.optMetric_Click(); });
    connect(c.cmdCalculate, &QPushButton::clicked, this, [&form] { form.cmdCalculate_Click(); });
    connect(c.cmdClear, &QPushButton::clicked, this, [&form] { form.cmdClear_Click(); });
    connect(c.txtImperialSpeed, &QLineEdit::textChanged, this,
        [&form] { form.txtImperialSpeed_Change(); });
    connect(
        c.txtMetricSpeed, &QLineEdit::textChanged, this, [&form] { form.txtMetricSpeed_Change(); });
    connect(c.mnuRunbyInfo, &QAction::triggered, this, [&form] { form.mnuRunbyInfo_Click(); });
}

// Centres the window, frame included, on the screen that holds the pointer. The frame is known
// only once the window manager has put it around the window; moveEvent centres again then.
void RunbyWindow::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size();
    m_centredWithFrame = frame != size();
    // move() places the frame's corner.
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frame, screen->availableGeometry())
             .topLeft());
}

void RunbyWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (!m_centredWithFrame && frameGeometry() != geometry())
        centreOnScreen();
}

// Calculate is the default button: an Enter that no control used itself presses it.
void RunbyWindow::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_controls->cmdCalculate->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace runby
