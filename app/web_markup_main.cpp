#include "web_markup.h"

#include <iostream>
#include <string>
#include <string_view>

// Writes a part of a page for the build to put into it, in the language given (English if none):
// the client area's controls, or, by name, the title, the frame's attributes, the menu, a text of
// the page's own, or what tells the pages of the languages apart.
int main(int argc, char **argv)
{
    const std::string_view part = argc > 1 ? argv[1] : "client";
    const std::string language[] = {argc > 2 ? argv[2] : "en"};
    const runby::Catalogue &catalogue = runby::catalogueFor(language);
    runby::speak(catalogue);
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
    else if (part == "name")
        std::cout << runby::jsonText(runby::Text::program_name);
    else if (part == "summary")
        std::cout << runby::jsonText(runby::Text::page_description);
    else if (part == "language")
        std::cout << catalogue.language;
    else if (part == "suffix")
        std::cout << runby::pageSuffixOf(catalogue);
    else if (part == "pages")
        std::cout << runby::pagesByLanguage();
    else
        std::cout << runby::clientAreaMarkup();
    // The runtime writes a line once it ends.
    std::cout << std::endl;
}
