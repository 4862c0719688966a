#include "web_window.h"

int main()
{
    runby::startWebWindow();
}
