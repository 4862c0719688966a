#include "runby_window.h"

#include "calculator_form.h"
#include "controls.h"
#include "layout.h"
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

QRect pixelsOf(const ControlLayout &layout)
{
    return {layout.left / kTwipsPerPixel, layout.top / kTwipsPerPixel,
        layout.width / kTwipsPerPixel, layout.height / kTwipsPerPixel};
}

// The captions are designed for MS Sans Serif, a Windows bitmap face. They are drawn in
// Liberation Sans, whose Arial metrics keep every caption inside its box; the desktop's own font,
// whatever its face and size, would cut them. Looking for the Windows face first would cost every
// start a failed font lookup.
QFont fontFor(Face face)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans")});
    font.setPointSizeF(faceSize(face).points);
    font.setBold(faceSize(face).bold);
    return font;
}

QWidget *createControl(const ControlLayout &layout, QWidget *client)
{
    const QString caption = toQString(layout.caption);
    QWidget *control = nullptr;
    switch (layout.kind) {
    case ControlKind::OptionButton:
        control = new QRadioButton(caption, client);
        break;
    case ControlKind::PushButton:
        control = new QPushButton(caption, client);
        break;
    case ControlKind::TextField:
        control = new NumberField(client);
        break;
    case ControlKind::Label:
        auto *label = new QLabel(caption, client);
        if (layout.name == kCentredLabel)
            label->setAlignment(Qt::AlignCenter);
        control = label;
        break;
    }
    control->setObjectName(toQString(layout.name));
    control->setGeometry(pixelsOf(layout));
    control->setFont(fontFor(layout.face));
    control->setToolTip(toQString(layout.toolTip));
    control->setAccessibleName(toQString(layout.accessibleName));
    return control;
}

// Creates the controls in the order of the window's design, at their places.
QWidget *createClient(QMainWindow *window)
{
    auto *client = new QWidget(window);
    for (const ControlLayout &layout : kControls)
        createControl(layout, client);
    client->setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    return client;
}

template <typename Control> Control *controlNamed(const QWidget *client, std::string_view name)
{
    auto *control = client->findChild<Control *>(toQString(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT(control);
    return control;
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

} // namespace

struct RunbyWindow::Controls
{
    explicit Controls(QMainWindow *window);
    Controls(const Controls &) = delete;
    Controls &operator=(const Controls &) = delete;

    QWidget *client;
    QRadioButton *optImperial = controlNamed<QRadioButton>(client, "optImperial");
    QRadioButton *optMetric = controlNamed<QRadioButton>(client, "optMetric");
    QPushButton *cmdClear = controlNamed<QPushButton>(client, "cmdClear");
    QPushButton *cmdCalculate = controlNamed<QPushButton>(client, "cmdCalculate");
    NumberField *txtRunbyMillimeters = controlNamed<NumberField>(client, "txtRunbyMillimeters");
    NumberField *txtMetricSpeed = controlNamed<NumberField>(client, "txtMetricSpeed");
    NumberField *txtRunbyInches = controlNamed<NumberField>(client, "txtRunbyInches");
    NumberField *txtImperialSpeed = controlNamed<NumberField>(client, "txtImperialSpeed");
    QAction *mnuRunbyInfo;

    LineEditBox imperialSpeedBox{txtImperialSpeed};
    LineEditBox metricSpeedBox{txtMetricSpeed};
    LineEditBox runbyInchesBox{txtRunbyInches};
    LineEditBox runbyMillimetersBox{txtRunbyMillimeters};
    RadioOption imperialOption{optImperial};
    RadioOption metricOption{optMetric};
    ModalMessageBox messageBox;

private:
    void setUpButtons();
    void setUpFields();
    void setUpTabOrder();
    void setUpMenu(QMainWindow *window);
    void orderForReading();
};

RunbyWindow::Controls::Controls(QMainWindow *window)
    : client(createClient(window)),
      mnuRunbyInfo(new QAction(toQString(kRunbyInfoCaption), window)),
      messageBox(window)
{
    setUpButtons();
    setUpFields();
    setUpTabOrder();
    setUpMenu(window);
    orderForReading();
    window->setCentralWidget(client);
}

void RunbyWindow::Controls::setUpButtons()
{
    optImperial->setChecked(true);
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
    const QString speedDescription = toQString(control(kSpeedLabel).toolTip).trimmed();
    for (NumberField *speed : {txtImperialSpeed, txtMetricSpeed}) {
        speed->setValidator(new SpeedValidator(kSpeedFieldLength, speed));
        speed->setAccessibleDescription(speedDescription);
    }
    makeDisplayOnly(runbyInchesBox);
    makeDisplayOnly(runbyMillimetersBox);
}

// Chains every control but the labels in the order of its tab index.
void RunbyWindow::Controls::setUpTabOrder()
{
    QWidget *previous = nullptr;
    for (const ControlLayout *layout : controlsInTabOrder()) {
        if (layout->kind == ControlKind::Label)
            continue;
        QWidget *next = controlNamed<QWidget>(client, layout->name);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void RunbyWindow::Controls::setUpMenu(QMainWindow *window)
{
    mnuRunbyInfo->setObjectName(QStringLiteral("mnuRunbyInfo"));
    mnuRunbyInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(kRunbyInfoShortcutKey)));
    auto *menuBar = new QMenuBar(window);
    QMenu *help = menuBar->addMenu(toQString(kHelpMenuCaption));
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

// Assistive technology reads a window's controls in their stacking order: restacked as they stand
// on the screen, they are read row by row rather than in the order of their creation.
void RunbyWindow::Controls::orderForReading()
{
    for (const std::string_view name : kReadingOrder)
        controlNamed<QWidget>(client, name)->raise();
}

RunbyWindow::RunbyWindow(QWidget *parent) : QMainWindow(parent, frameFlags())
{
    setObjectName(QStringLiteral("frmRunby"));
    setWindowTitle(toQString(kWindowCaption));
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
