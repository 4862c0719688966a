#include "title_bar.h"

#include "catalogue.h"
#include "qt_controls.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace runby {

namespace {

constexpr int kIconSize = 16;
constexpr int kMargin = 4;
const QColor kActiveCaption(0, 120, 215);
const QColor kInactiveCaption(191, 205, 219);

QToolButton *titleButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &name)
{
    auto *button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon, nullptr, parent));
    button->setAccessibleName(name);
    button->setToolTip(name);
    button->setAutoRaise(true);
    // The keyboard reaches the window's own controls only; the frame is the mouse's.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TitleBar::TitleBar(QWidget *window)
    : QWidget(window), m_window(window), m_caption(new QLabel(window->windowTitle(), this))
{
    setObjectName(QStringLiteral("titleBar"));
    setAutoFillBackground(true);

    auto *icon = new QLabel(this);
    icon->setPixmap(window->windowIcon().pixmap(kIconSize));
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    m_caption->setFont(captionFont);
    m_caption->setAlignment(Qt::AlignCenter);
    auto *minimise = titleButton(
        this, QStyle::SP_TitleBarMinButton, toQString(textOf(Text::title_bar_minimize)));
    auto *close =
        titleButton(this, QStyle::SP_TitleBarCloseButton, toQString(textOf(Text::title_bar_close)));
    connect(minimise, &QToolButton::clicked, window, &QWidget::showMinimized);
    connect(close, &QToolButton::clicked, window, &QWidget::close);
    connect(window, &QWidget::windowTitleChanged, m_caption, &QLabel::setText);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, kMargin / 2, kMargin, kMargin / 2);
    row->addWidget(icon);
    row->addWidget(m_caption, 1);
    row->addWidget(minimise);
    row->addWidget(close);

    window->installEventFilter(this);
    showActivity();
}

bool TitleBar::isNeeded()
{
    return QGuiApplication::platformName() == QLatin1String("wayland");
}

void TitleBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_window->windowHandle()) {
        m_window->windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool TitleBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::ActivationChange)
        showActivity();
    return QWidget::eventFilter(watched, event);
}

// The bar is coloured while the window is active, as the desktop's own frames are.
void TitleBar::showActivity()
{
    const bool active = m_window->isActiveWindow();
    QPalette colours = palette();
    colours.setColor(QPalette::Window, active ? kActiveCaption : kInactiveCaption);
    colours.setColor(QPalette::WindowText, active ? Qt::white : Qt::black);
    setPalette(colours);
}

} // namespace runby
