#include "web_markup.h"

#include <iostream>
#include <string_view>

// Writes a part of the page for the build to put into it: the client area's controls, or, by
// name, the title, the frame's attributes, the menu, or a text of the page's own.
int main(int argc, char **argv)
{
    const std::string_view part = argc > 1 ? argv[1] : "client";
    if (part == "title")
        std::cout << runby::pageTitle();
    else if (part == "frame")
        std::cout << runby::frameAttributes();
    else if (part == "menu")
        std::cout << runby::menuMarkup();
    else if (part == "heading")
        std::cout << runby::pageText(runby::Text::page_heading);
    else if (part == "description")
        std::cout << runby::pageText(runby::Text::page_description);
    else if (part == "ok")
        std::cout << runby::pageText(runby::Text::box_ok);
    else
        std::cout << runby::clientAreaMarkup();
    // The runtime writes a line once it ends.
    std::cout << std::endl;
}
