#include "runby_window.h"

#include "calculator_form.h"
#include "controls.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

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

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toQColor(Rgb color)
{
    return {color.red, color.green, color.blue};
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, Rgb color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(color));
    widget->setPalette(palette);
}

enum class Face { Default, Bold975, Bold12, Regular135 };

// The captions are designed for MS Sans Serif, a Windows bitmap face. They are drawn in
// Liberation Sans, whose Arial metrics keep every caption inside its box; looking for the
// Windows face first would cost every start a failed font lookup.
QFont fontFor(Face face, const QFont &defaultFont)
{
    if (face == Face::Default)
        return defaultFont;
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans")});
    font.setPointSizeF(face == Face::Bold975 ? 9.75 : face == Face::Bold12 ? 12 : 13.5);
    font.setBold(face != Face::Regular135);
    return font;
}

template <typename Widget>
Widget *place(QWidget *parent, const char *name, QRect geometry, Face face)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->setFont(fontFor(face, parent->font()));
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

QLineEdit *placeField(QWidget *parent, const char *name, QRect geometry, const char *accessibleName)
{
    auto *field = place<QLineEdit>(parent, name, geometry, Face::Bold12);
    field->setAccessibleName(QLatin1String(accessibleName));
    // The text stays black on white or yellow whatever the desktop's colour scheme.
    setPaletteColor(field, QPalette::Text, kBlack);
    return field;
}

// A text field of the window as the calculator sees it.
class LineEditBox final : public TextBox
{
public:
    explicit LineEditBox(QLineEdit *edit) : m_edit(edit) { }

    std::string text() const override { return m_edit->text().toStdString(); }
    void setText(std::string_view text) override
    {
        m_edit->setText(toQString(text));
        // Show a number from its first digit when it is wider than the field.
        m_edit->home(false);
    }
    void setBackColor(Rgb color) override { setPaletteColor(m_edit, QPalette::Base, color); }
    void setLocked(bool locked) override { m_edit->setReadOnly(locked); }
    // Out of the Tab chain, a field still takes the caret from a click, for selecting and copying.
    void setTabStop(bool tabStop) override
    {
        m_edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void setFocus() override { m_edit->setFocus(Qt::OtherFocusReason); }

private:
    QLineEdit *m_edit;
};

class RadioOption final : public OptionButton
{
public:
    explicit RadioOption(QRadioButton *button) : m_button(button) { }

    void setValue(bool selected) override { m_button->setChecked(selected); }
    void setForeColor(Rgb color) override
    {
        setPaletteColor(m_button, QPalette::WindowText, color);
        setPaletteColor(m_button, QPalette::ButtonText, color);
    }

private:
    QRadioButton *m_button;
};

class ModalMessageBox final : public MessageBox
{
public:
    explicit ModalMessageBox(QWidget *owner) : m_owner(owner) { }

    void show(std::string_view title, std::string_view text) override
    {
        // The label breaks lines at LF alone; a CR before it would be drawn as a stray glyph.
        QString lines = toQString(text);
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QMessageBox box(QMessageBox::NoIcon, toQString(title), lines, QMessageBox::Ok, m_owner);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

private:
    QWidget *m_owner;
};

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
    QLineEdit *txtRunbyMillimeters;
    QLineEdit *txtMetricSpeed;
    QLineEdit *txtRunbyInches;
    QLineEdit *txtImperialSpeed;
    QAction *mnuRunbyInfo;

    LineEditBox imperialSpeedBox{txtImperialSpeed};
    LineEditBox metricSpeedBox{txtMetricSpeed};
    LineEditBox runbyInchesBox{txtRunbyInches};
    LineEditBox runbyMillimetersBox{txtRunbyMillimeters};
    RadioOption imperialOption{optImperial};
    RadioOption metricOption{optMetric};
    ModalMessageBox messageBox;
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
    placeLabel(
        client, "Label9", "MM", fromTwips(6120, 2340, 375, 315), Face::Bold975, " Millimeters ");
    placeLabel(client, "Label8", "MPS", fromTwips(6120, 1680, 495, 315), Face::Bold975,
        " Meters per second ");
    placeLabel(client, "Label7", "IN", fromTwips(3900, 2340, 255, 315), Face::Bold975, " Inches ");
    placeLabel(client, "Label6", "FPM", fromTwips(3900, 1680, 495, 315), Face::Bold975,
        " Feet per minute ");
    placeLabel(client, "Label5", "Minimum Runby", fromTwips(540, 2340, 1635, 315), Face::Bold975);
    const QLabel *speedLabel = placeLabel(client, "Label4", "Speed", fromTwips(540, 1680, 735, 315),
        Face::Bold975, " Operating speed in the down direction or rated speed up ");
    placeLabel(client, "Label1", "Tarnvale", fromTwips(1545, 240, 4815, 375), Face::Regular135)
        ->setAlignment(Qt::AlignCenter);

    optImperial->setText(QStringLiteral("&Imperial"));
    optImperial->setChecked(true);
    optMetric->setText(QStringLiteral("&Metric"));
    cmdClear->setText(QStringLiteral("C&lear"));
    cmdCalculate->setText(QStringLiteral("&Calculate"));
    // Enter on a focused button presses that button; anywhere else it presses Calculate.
    cmdClear->setAutoDefault(true);
    cmdCalculate->setAutoDefault(true);
    cmdCalculate->setDefault(true);

    const QString speedDescription = speedLabel->toolTip().trimmed();
    for (QLineEdit *speed : {txtImperialSpeed, txtMetricSpeed}) {
        speed->setMaxLength(static_cast<int>(kSpeedFieldLength));
        speed->setAccessibleDescription(speedDescription);
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

    mnuRunbyInfo->setObjectName(QStringLiteral("mnuRunbyInfo"));
    mnuRunbyInfo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    QMenu *help = window->menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(mnuRunbyInfo);

    client->setFixedSize(kClientSizeTwips / kTwipsPerPixel);
    window->setCentralWidget(client);
}

RunbyWindow::RunbyWindow(QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmRunby"));
    setWindowTitle(kCaption);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/runby-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/runby-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // The window keeps its designed colours under a dark desktop scheme too.
    setPalette(style()->standardPalette());
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

void RunbyWindow::centreOnScreen()
{
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(
            Qt::LeftToRight, Qt::AlignCenter, size(), primary->availableGeometry()));
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
