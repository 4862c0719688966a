// The reference for the startup benchmark: a Qt main window with the calculator's widgets and
// menu, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&Runby Info"));
    auto *client = new QWidget(&window);
    client->setFixedSize(527, 252);
    const auto at = [](QWidget *widget, int left, int top, int width, int height) {
        widget->setGeometry(left, top, width, height);
    };
    at(new QRadioButton(QStringLiteral("&Imperial"), client), 168, 64, 73, 17);
    at(new QRadioButton(QStringLiteral("&Metric"), client), 320, 64, 73, 17);
    at(new QPushButton(QStringLiteral("C&lear"), client), 314, 196, 85, 37);
    at(new QPushButton(QStringLiteral("&Calculate"), client), 162, 196, 85, 37);
    at(new QLineEdit(client), 310, 148, 93, 28);
    at(new QLineEdit(client), 310, 104, 93, 28);
    at(new QLineEdit(client), 156, 148, 97, 28);
    at(new QLineEdit(client), 156, 104, 97, 28);
    at(new QLabel(QStringLiteral("MM"), client), 408, 156, 25, 21);
    at(new QLabel(QStringLiteral("MPS"), client), 408, 112, 33, 21);
    at(new QLabel(QStringLiteral("IN"), client), 260, 156, 17, 21);
    at(new QLabel(QStringLiteral("FPM"), client), 260, 112, 33, 21);
    at(new QLabel(QStringLiteral("Minimum Runby"), client), 36, 156, 109, 21);
    at(new QLabel(QStringLiteral("Speed"), client), 36, 112, 49, 21);
    at(new QLabel(QStringLiteral("Tarnvale"), client), 103, 16, 321, 25);
    window.setCentralWidget(client);
    window.show();
    return QApplication::exec();
}
