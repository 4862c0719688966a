#include "web_markup.h"

#include <iostream>

// Writes the client area's controls as HTML, for the build to put into the page.
int main()
{
    std::cout << runby::clientAreaMarkup();
}
