#pragma once

#include <QWidget>

class QLabel;

namespace runby {

// The window's own title bar: its icon, its caption, minimise and close, and a drag on it moves
// the window. Used where the toolkit would draw the frame itself and offer a maximise button that
// a window of fixed size cannot honour, as it does under Wayland.
class TitleBar final : public QWidget
{
public:
    explicit TitleBar(QWidget *window);

    // Whether the window must draw its own title bar on this desktop.
    static bool isNeeded();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showActivity();

    QWidget *m_window;
    QLabel *m_caption;
};

} // namespace runby
