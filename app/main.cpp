#include "runby_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    runby::RunbyWindow window;
    window.show();
    return QApplication::exec();
}
