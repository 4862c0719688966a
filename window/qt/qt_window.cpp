#include "qt_window.h"

#include "calculator_form.h"
#include "controls.h"
#include "layout.h"
#include "qt_controls.h"
#include "title_bar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMoveEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <array>
#include <initializer_list>

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
        if (layout.id == kCentredLabel)
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

// The client area's widgets, each at the index of its control.
using ControlWidgets = std::array<QWidget *, kControlCount>;

// Creates the controls in the order of the window's design, at their places.
ControlWidgets createControls(QWidget *client)
{
    ControlWidgets widgets{};
    for (const ControlLayout &layout : kControls)
        widgets.at(indexOf(layout.id)) = createControl(layout, client);
    client->setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    return widgets;
}

template <typename Widget> Widget *widgetOf(const ControlWidgets &widgets, ControlId id)
{
    auto *widget = qobject_cast<Widget *>(widgets.at(indexOf(id)));
    Q_ASSERT(widget);
    return widget;
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

// Windows' classic system colours, which the window's design assumes.
const QColor kButtonFace(240, 240, 240);
const QColor kLight3d(227, 227, 227);
const QColor kShadow3d(160, 160, 160);
const QColor kDarkShadow3d(105, 105, 105);
const QColor kGrayText(109, 109, 109);
const QColor kHighlight(0, 120, 215);
const QColor kInfoBackground(255, 255, 225);

// The window's light look, whatever the desktop's colour scheme: button face behind the
// captions, white fields, black text.
QPalette designPalette()
{
    QPalette palette(Qt::black, kButtonFace, Qt::white, kDarkShadow3d, kShadow3d, Qt::black,
        Qt::white, Qt::white, kButtonFace);
    palette.setColor(QPalette::Midlight, kLight3d);
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, kInfoBackground);
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, kGrayText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, kGrayText);
    return palette;
}

// A lone Alt does nothing: the toolkit would move the keyboard into the menu bar without
// highlighting a menu, and the keys typed next would vanish. Alt+H still opens Help.
class NoLoneAltStyle final : public QProxyStyle
{
public:
    explicit NoLoneAltStyle(QObject *owner) { setParent(owner); }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Makes the access keys of the buttons press them at once, rather than after the short
// animation in which keys typed next would go to the button, and lets an arrow key on the
// selected unit option select the other one with the focus ending where its handler puts it.
class ImmediateButtons final : public QObject
{
public:
    ImmediateButtons(std::initializer_list<QAbstractButton *> buttons, QRadioButton *first,
        QRadioButton *second, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRadioButton *m_first;
    QRadioButton *m_second;
};

ImmediateButtons::ImmediateButtons(std::initializer_list<QAbstractButton *> buttons,
    QRadioButton *first, QRadioButton *second, QObject *parent)
    : QObject(parent), m_first(first), m_second(second)
{
    for (QAbstractButton *button : buttons)
        button->installEventFilter(this);
}

bool ImmediateButtons::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || !button->isEnabled())
        return false;
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        button->click();
        return true;
    }
    if (event->type() != QEvent::KeyPress || (button != m_first && button != m_second))
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // With two options every arrow leads to the other one. Its handler places the focus;
        // Qt's own arrow handling would take it back to the option afterwards.
        (button == m_first ? m_second : m_first)->click();
        return true;
    default:
        return false;
    }
}

} // namespace

// The client area's widgets and the menu item, and the calculator's adapters around them.
struct RunbyWindow::Controls
{
    Controls(const ControlWidgets &widgets, QAction *runbyInfo, QMainWindow *owner);

    template <typename Widget> Widget *widget(ControlId id) const
    {
        return widgetOf<Widget>(widgets, id);
    }
    QObject *source(ControlId id) const
    {
        return id == ControlId::mnuRunbyInfo ? static_cast<QObject *>(mnuRunbyInfo)
                                             : widgets.at(indexOf(id));
    }

    ControlWidgets widgets;
    QAction *mnuRunbyInfo;
    DeferredFocus focus;
    QtTextBox imperialSpeed;
    QtTextBox metricSpeed;
    QtTextBox runbyInches;
    QtTextBox runbyMillimeters;
    QtOptionButton imperial;
    QtOptionButton metric;
    QtMessageBox messageBox;
    QtAnnouncer announcer;
};

RunbyWindow::Controls::Controls(
    const ControlWidgets &widgets, QAction *runbyInfo, QMainWindow *owner)
    : widgets(widgets),
      mnuRunbyInfo(runbyInfo),
      imperialSpeed(widgetOf<QLineEdit>(widgets, ControlId::txtImperialSpeed), focus),
      metricSpeed(widgetOf<QLineEdit>(widgets, ControlId::txtMetricSpeed), focus),
      runbyInches(widgetOf<QLineEdit>(widgets, ControlId::txtRunbyInches), focus),
      runbyMillimeters(widgetOf<QLineEdit>(widgets, ControlId::txtRunbyMillimeters), focus),
      imperial(widgetOf<QRadioButton>(widgets, ControlId::optImperial)),
      metric(widgetOf<QRadioButton>(widgets, ControlId::optMetric)),
      messageBox(owner),
      // Beside the client area, not in it, where it would be read with the controls.
      announcer(owner)
{
}

namespace {

void setUpButtons(const ControlWidgets &widgets, QWidget *client)
{
    auto *optImperial = widgetOf<QRadioButton>(widgets, ControlId::optImperial);
    auto *optMetric = widgetOf<QRadioButton>(widgets, ControlId::optMetric);
    auto *cmdClear = widgetOf<QPushButton>(widgets, ControlId::cmdClear);
    auto *cmdCalculate = widgetOf<QPushButton>(widgets, ControlId::cmdCalculate);
    // Enter on a focused button presses that button; anywhere else it presses Calculate.
    cmdClear->setAutoDefault(true);
    cmdCalculate->setAutoDefault(true);
    widgetOf<QPushButton>(widgets, kDefaultButton)->setDefault(true);
    // Tab stops at the selected unit option only, as in any group of options.
    for (QRadioButton *option : {optImperial, optMetric}) {
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        QObject::connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
    new ImmediateButtons(
        {optImperial, optMetric, cmdClear, cmdCalculate}, optImperial, optMetric, client);
    // As in a dialog: Clear is the default button while it has the focus, Calculate at any other
    // time. A button outside a dialog drops its default mark for good when it loses the focus.
    QObject::connect(qApp, &QApplication::focusChanged, cmdCalculate,
        [cmdCalculate, cmdClear](QWidget *, QWidget *now) {
            if (now && now->window() == cmdCalculate->window())
                cmdCalculate->setDefault(now != cmdClear);
        });
}

void setUpSpeedFields(const ControlWidgets &widgets)
{
    const QString speedDescription = toQString(layoutOf(kSpeedLabel).toolTip).trimmed();
    for (const ControlId id : {ControlId::txtImperialSpeed, ControlId::txtMetricSpeed}) {
        auto *speed = widgetOf<QLineEdit>(widgets, id);
        speed->setValidator(new SpeedValidator(kSpeedFieldLength, speed));
        speed->setAccessibleDescription(speedDescription);
    }
}

// Chains every control but the labels in the order of its tab index.
void setUpTabOrder(const ControlWidgets &widgets)
{
    QWidget *previous = nullptr;
    for (const ControlLayout *layout : controlsInTabOrder()) {
        if (layout->kind == ControlKind::Label)
            continue;
        QWidget *next = widgets.at(indexOf(layout->id));
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void setUpMenu(QMainWindow *window, QAction *runbyInfo)
{
    runbyInfo->setObjectName(toQString(kRunbyInfoItem.name));
    runbyInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(kRunbyInfoItem.shortcutKey)));
    auto *menuBar = new QMenuBar(window);
    menuBar->setStyle(new NoLoneAltStyle(menuBar));
    QMenu *help = menuBar->addMenu(toQString(kHelpMenuCaption));
    help->setObjectName(QStringLiteral("mnuHelp"));
    // The menu opens as a window of its own, which inherits neither colours nor font.
    help->setPalette(designPalette());
    help->setFont(fontFor(Face::Default));
    help->addAction(runbyInfo);
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

// Puts the unit options into a widget of their own, covering both, which assistive technology
// presents as their group: "Units", and each option one of two.
void groupUnitOptions(const ControlWidgets &widgets, QWidget *client)
{
    auto *group = new OptionGroup(toQString(kUnitOptionsName), client);
    QRect area;
    for (const ControlId id : kUnitOptions)
        area = area.united(widgets.at(indexOf(id))->geometry());
    group->setGeometry(area);
    for (const ControlId id : kUnitOptions) {
        QWidget *option = widgets.at(indexOf(id));
        const QRect place = option->geometry().translated(-area.topLeft());
        option->setParent(group);
        option->setGeometry(place);
        option->show();
    }
}

// Assistive technology reads a window's controls in their stacking order: restacked as they stand
// on the screen, they are read row by row rather than in the order of their creation. A control
// in a group raises the group too.
void orderForReading(const ControlWidgets &widgets, const QWidget *client)
{
    for (const ControlId id : kReadingOrder) {
        QWidget *control = widgets.at(indexOf(id));
        control->raise();
        if (control->parentWidget() != client)
            control->parentWidget()->raise();
    }
}

} // namespace

RunbyWindow::RunbyWindow(QWidget *parent) : QMainWindow(parent, frameFlags())
{
    setObjectName(QStringLiteral("frmRunby"));
    setWindowTitle(toQString(kWindowCaption));
    setAccessibleDescription(toQString(kWindowDescription));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/runby-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/runby-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // The window keeps its designed look under any desktop colour scheme and font.
    setPalette(designPalette());
    setFont(fontFor(Face::Default));

    auto *client = new QWidget(this);
    const ControlWidgets widgets = createControls(client);
    auto *runbyInfo = new QAction(toQString(kRunbyInfoItem.caption), this);
    groupUnitOptions(widgets, client);
    setUpButtons(widgets, client);
    setUpSpeedFields(widgets);
    setUpTabOrder(widgets);
    setUpMenu(this, runbyInfo);
    orderForReading(widgets, client);
    setCentralWidget(client);

    m_controls = std::make_unique<Controls>(widgets, runbyInfo, this);
    Controls &c = *m_controls;
    m_form =
        std::make_unique<CalculatorForm>(CalculatorForm::Controls{c.imperialSpeed, c.metricSpeed,
            c.runbyInches, c.runbyMillimeters, c.imperial, c.metric, c.messageBox, c.announcer});
    wireEvents();
    m_form->setDesignTimeProperties();
    m_form->Form_Load();
    c.widget<QLineEdit>(ControlId::txtImperialSpeed)->setFocus(Qt::OtherFocusReason);
    setFixedSize(sizeHint());
    centreOnScreen();
}

RunbyWindow::~RunbyWindow() = default;

void RunbyWindow::wireEvents()
{
    for (const EventBinding &binding : kEventBindings) {
        QObject *source = m_controls->source(binding.source);
        const auto raise = [this, binding] { m_form->raise(binding.source, binding.event); };
        const auto click = [this, raise] {
            raise();
            m_controls->focus.give();
        };
        switch (binding.event) {
        case ControlEvent::Click:
            if (auto *action = qobject_cast<QAction *>(source))
                connect(action, &QAction::triggered, this, click);
            else
                connect(qobject_cast<QAbstractButton *>(source), &QAbstractButton::clicked, this,
                    click);
            break;
        case ControlEvent::Change:
            connect(qobject_cast<QLineEdit *>(source), &QLineEdit::textChanged, this, raise);
            break;
        }
    }
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
        m_controls->widget<QPushButton>(kDefaultButton)->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace runby
