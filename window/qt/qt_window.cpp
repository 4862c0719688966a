#include "qt_window.h"

#include "accessible_outline.h"
#include "calculator_form.h"
#include "controls.h"
#include "keyboard_policy.h"
#include "keys_in_order.h"
#include "layout.h"
#include "qt_controls.h"
#include "title_bar.h"
#include "window_session.h"

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
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <vector>

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
    const QString caption = toQString(textOf(layout.caption));
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
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        auto *label = new QLabel(caption, client);
        if (layout.id == kCentredLabel)
            label->setAlignment(Qt::AlignCenter);
        control = label;
        break;
    }
    control->setObjectName(toQString(layout.name));
    control->setFont(fontFor(layout.face));
    control->setGeometry(pixelsOf(layout));
    if (layout.kind == ControlKind::Label) {
        const int captionWidth = control->fontMetrics().horizontalAdvance(caption);
        control->resize(labelWidthFor(layout, captionWidth * kTwipsPerPixel) / kTwipsPerPixel,
            control->height());
    }
    control->setToolTip(toQString(textOf(layout.toolTip)));
    control->setAccessibleName(toQString(accessibleNameOf(layout.id)));
    control->setAccessibleDescription(toQString(accessibleDescriptionOf(layout.id)));
    return control;
}

// The client area's widgets, each at the index of its control.
using ControlWidgets = std::array<QWidget *, kClientControlCount>;

// Creates the controls in the order of the window's design, at their places.
ControlWidgets createControls(QWidget *client)
{
    ControlWidgets widgets{};
    for (const ControlLayout &layout : clientControls())
        widgets.at(indexOf(layout.id)) = createControl(layout, client);
    client->setFixedSize(pixelsOf(layoutOf(ControlId::frmRunby)).size());
    return widgets;
}

// The control that a widget or the menu's action is, by the name it carries, if it is one.
std::optional<ControlId> controlOf(const QObject *object)
{
    return object ? controlNamed(object->objectName().toStdString()) : std::nullopt;
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
// highlighting a menu, and the keys typed next would vanish. Alt+H still opens Help. This can go
// once Qt's menu bar gives the keys it does not use back to the window.
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

// A key event as the keyboard policy sees it.
KeyPress keyPressOf(const QKeyEvent &event)
{
    KeyPress key;
    const int code = event.key();
    if (code == Qt::Key_Return || code == Qt::Key_Enter)
        key.key = Key::Enter;
    else if (code == Qt::Key_Left)
        key.key = Key::Left;
    else if (code == Qt::Key_Right)
        key.key = Key::Right;
    else if (code == Qt::Key_Up)
        key.key = Key::Up;
    else if (code == Qt::Key_Down)
        key.key = Key::Down;
    else if (code >= Qt::Key_A && code <= Qt::Key_Z) {
        key.key = Key::Letter;
        key.letter = static_cast<char>('A' + (code - Qt::Key_A));
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    key.alt = modifiers & Qt::AltModifier;
    key.ctrl = modifiers & Qt::ControlModifier;
    key.shift = modifiers & Qt::ShiftModifier;
    return key;
}

} // namespace

// Carries out the calculator's keyboard policy for the keys that reach the window's controls and
// its open menu: it takes them before the toolkit's own shortcuts, access keys, default button
// and menu keys do.
class RunbyWindow::Keyboard final : public QObject, public KeyTarget
{
public:
    Keyboard(const ControlWidgets &widgets, QMenu *help, QAction *runbyInfo, QObject *parent);

    void press(ControlId button) override;
    void select(ControlId option) override { press(option); }
    void openMenu(ControlId menu) override;
    void closeMenu() override { m_help->hide(); }
    void choose(ControlId item) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ControlId focus() const;

    ControlWidgets m_widgets;
    QMenu *m_help;
    QAction *m_runbyInfo;
};

RunbyWindow::Keyboard::Keyboard(
    const ControlWidgets &widgets, QMenu *help, QAction *runbyInfo, QObject *parent)
    : QObject(parent), m_widgets(widgets), m_help(help), m_runbyInfo(runbyInfo)
{
    // The window sees a key that no control has the focus for; the open menu takes the keys.
    parent->installEventFilter(this);
    help->installEventFilter(this);
    for (QWidget *widget : widgets)
        widget->installEventFilter(this);
}

// The highlighted item of the open menu, or the menu with none; else the control with the focus.
ControlId RunbyWindow::Keyboard::focus() const
{
    if (QApplication::activePopupWidget() == m_help)
        return controlOf(m_help->activeAction()).value_or(ControlId::mnuHelp);
    return controlOf(QApplication::focusWidget()).value_or(ControlId::frmRunby);
}

// Every key goes by the focus, whichever object it reached.
bool RunbyWindow::Keyboard::eventFilter(QObject * /*watched*/, QEvent *event)
{
    const bool shortcutOverride = event->type() == QEvent::ShortcutOverride;
    if (!shortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const KeyPress key = keyPressOf(*static_cast<QKeyEvent *>(event));
    // Accepted as an override, the key comes back as a key press instead of a shortcut.
    if (shortcutOverride) {
        if (keyAction(key, focus()).kind == KeyAction::Kind::None)
            return false;
        event->accept();
        return true;
    }
    return followKeyboardPolicy(key, focus(), *this);
}

// The button's click, at once, without the focus that the toolkit's access keys and their short
// animation would give it first.
void RunbyWindow::Keyboard::press(ControlId button)
{
    widgetOf<QAbstractButton>(m_widgets, button)->click();
}

// The menu belongs to the menu bar, which opens it; opened so, it highlights no item.
void RunbyWindow::Keyboard::openMenu(ControlId /*menu*/)
{
    qobject_cast<QMenuBar *>(m_help->parentWidget())->setActiveAction(m_help->menuAction());
    m_help->setActiveAction(m_help->actions().constFirst());
}

// The menu closes first, as a menu closes before the item chosen in it acts.
void RunbyWindow::Keyboard::choose(ControlId /*item*/)
{
    m_help->hide();
    m_runbyInfo->trigger();
}

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

void setUpButtons(const ControlWidgets &widgets)
{
    // The default button, as the keyboard policy chooses it for the focus, shows as such. Qt
    // draws a button that can be the default with room for the mark.
    std::vector<QPushButton *> buttons;
    for (const ControlLayout &layout : clientControls())
        if (layout.kind == ControlKind::PushButton) {
            buttons.push_back(widgetOf<QPushButton>(widgets, layout.id));
            buttons.back()->setAutoDefault(true);
        }
    const auto showDefault = [buttons, widgets](ControlId focus) {
        for (QPushButton *button : buttons)
            button->setDefault(button == widgets.at(indexOf(defaultButtonFor(focus))));
    };
    showDefault(kDefaultButton);
    QObject::connect(
        qApp, &QApplication::focusChanged, buttons.front(), [showDefault](QWidget *, QWidget *now) {
            if (const std::optional<ControlId> focus = controlOf(now))
                showDefault(*focus);
        });
}

void setUpSpeedFields(const ControlWidgets &widgets)
{
    for (const ControlId id : {ControlId::txtImperialSpeed, ControlId::txtMetricSpeed}) {
        auto *speed = widgetOf<QLineEdit>(widgets, id);
        speed->setValidator(new SpeedValidator(kSpeedFieldLength, speed));
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

QMenu *setUpMenu(QMainWindow *window, QAction *runbyInfo)
{
    runbyInfo->setObjectName(toQString(nameOf(ControlId::mnuRunbyInfo)));
    auto *menuBar = new QMenuBar(window);
    menuBar->setStyle(new NoLoneAltStyle(menuBar));
    QMenu *help = menuBar->addMenu(toQString(captionOf(ControlId::mnuHelp)));
    help->setObjectName(toQString(nameOf(ControlId::mnuHelp)));
    // The menu opens as a window of its own, which inherits neither colours nor font.
    help->setPalette(designPalette());
    help->setFont(fontFor(Face::Default));
    help->addAction(runbyInfo);
    if (!TitleBar::isNeeded()) {
        window->setMenuBar(menuBar);
        return help;
    }
    auto *top = new QWidget(window);
    auto *rows = new QVBoxLayout(top);
    rows->setContentsMargins(QMargins());
    rows->setSpacing(0);
    rows->addWidget(new TitleBar(window));
    rows->addWidget(menuBar);
    window->setMenuWidget(top);
    return help;
}

// Puts the unit options into a widget of their own, covering both, which assistive technology
// presents as their group: "Units", and each option one of two.
void groupUnitOptions(const ControlWidgets &widgets, QWidget *client)
{
    auto *group = new OptionGroup(toQString(textOf(Text::unit_options_name)), client);
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

QTranslator *speakInQt(QCoreApplication &application, std::string_view language)
{
    auto translation = std::make_unique<QTranslator>();
    if (!translation->load(QStringLiteral(":/translations/qtbase_")
            + QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()))))
        return nullptr;
    translation->setParent(&application);
    QCoreApplication::installTranslator(translation.get());
    return translation.release();
}

RunbyWindow::RunbyWindow(QWidget *parent) : QMainWindow(parent, frameFlags())
{
    setObjectName(toQString(nameOf(ControlId::frmRunby)));
    setWindowTitle(toQString(captionOf(ControlId::frmRunby)));
    setAccessibleDescription(toQString(accessibleDescriptionOf(ControlId::frmRunby)));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/runby-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/runby-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // The window keeps its designed look under any desktop colour scheme and font.
    setPalette(designPalette());
    setFont(fontFor(Face::Default));

    auto *client = new QWidget(this);
    const ControlWidgets widgets = createControls(client);
    // The item shows its shortcut, which the keyboard policy carries out.
    auto *runbyInfo = new QAction(toQString(std::string(captionOf(ControlId::mnuRunbyInfo)) + '\t'
                                      + shortcutText(ControlId::mnuRunbyInfo)),
        this);
    groupUnitOptions(widgets, client);
    setUpButtons(widgets);
    setUpSpeedFields(widgets);
    setUpTabOrder(widgets);
    QMenu *help = setUpMenu(this, runbyInfo);
    orderForReading(widgets, client);
    setCentralWidget(client);

    m_controls = std::make_unique<Controls>(widgets, runbyInfo, this);
    Controls &c = *m_controls;
    m_session = std::make_unique<WindowSession>(
        CalculatorForm::Controls{c.imperialSpeed, c.metricSpeed, c.runbyInches, c.runbyMillimeters,
            c.imperial, c.metric, c.messageBox, c.announcer},
        c.focus);
    wireEvents();
    new Keyboard(widgets, help, runbyInfo, this);
    m_keysInOrder = std::make_unique<KeysInOrder>(*this);
    m_session->load();
    m_session->focusFirstControl();
    setFixedSize(sizeHint());
    centreOnScreen();
}

RunbyWindow::~RunbyWindow() = default;

void RunbyWindow::wireEvents()
{
    for (const EventBinding &binding : kEventBindings) {
        QObject *source = m_controls->source(binding.source);
        const auto click = [this, binding] { m_session->click(binding.source); };
        const auto change = [this, binding] { m_session->change(binding.source); };
        switch (binding.event) {
        case ControlEvent::Click:
            if (auto *action = qobject_cast<QAction *>(source))
                connect(action, &QAction::triggered, this, click);
            else
                connect(qobject_cast<QAbstractButton *>(source), &QAbstractButton::clicked, this,
                    click);
            break;
        case ControlEvent::Change:
            connect(qobject_cast<QLineEdit *>(source), &QLineEdit::textChanged, this, change);
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

} // namespace runby
