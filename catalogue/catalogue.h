#pragma once

#include "catalogue_texts.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace runby {

// The catalogue of the first of the user's languages, in their order of preference, that the
// program speaks; English where it speaks none of them. The system's tags, as BCP 47 or POSIX
// locales write them, are matched by language alone: any French is the catalogue's French.
//   {"de-DE", "fr-CA"} -> fr     {"fr_BE.UTF-8"} -> fr     {"en-US", "fr"} -> en     {} -> en
const Catalogue &catalogueFor(std::span<const std::string> languages);

// Makes the program speak the catalogue's language from now on. Called once, before any text is
// shown; until then the program speaks English.
void speak(const Catalogue &catalogue);

// The text in the language the program speaks.
std::string_view textOf(Text text);

// What a text's {name} stands for.
struct Filling
{
    std::string_view name;
    std::string_view value;
};

// The text in the language the program speaks with each {name} in it replaced by its filling.
std::string filledText(Text text, std::initializer_list<Filling> fillings);
// The same, in the form that the count takes where the text has plural forms: in French,
// "{figure} pouce" for 0 and 1, "{figure} pouces" from 2.
std::string filledText(Text text, unsigned long count, std::initializer_list<Filling> fillings);

} // namespace runby
