#pragma once

#include "catalogue.h"

#include <string>

namespace runby {

// The client area's controls as HTML, in the order of reading, each in the state the calculator
// gives it on loading: the page draws them before its module is ready, which then takes them
// over as they are.
std::string clientAreaMarkup();

// The page's title: the window's caption without its runs of blanks.
std::string pageTitle();
// The frame's attributes: its name and its designed size in pixels, as --width and --height.
std::string frameAttributes();
// The Help menu and its item, with their captions, names and keys.
std::string menuMarkup();

// A text of the catalogue, as the page's markup holds it.
std::string pageText(Text text);
// A text of the catalogue as a JSON string, quotes included, as the manifest holds it.
std::string jsonText(Text text);

// What the names of a language's page and manifest add to English's: index.html and
// manifest.webmanifest in English, index.fr.html and manifest.fr.webmanifest in French.
std::string pageSuffixOf(const Catalogue &catalogue);
// The page of each language the program speaks, as a JavaScript object by language.
std::string pagesByLanguage();

} // namespace runby
