#include "catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace runby {

namespace {

const Catalogue *spoken = &kCatalogues.front();

// The language of a tag: "fr" of "fr-CA", "fr_CA.UTF-8" or "FR", lower case.
std::string languageOf(std::string_view tag)
{
    std::string language(tag.substr(0, tag.find_first_of("-_.@")));
    for (char &c : language)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return language;
}

} // namespace

const Catalogue &catalogueFor(std::span<const std::string> languages)
{
    for (const std::string &tag : languages) {
        const auto catalogue = std::find_if(kCatalogues.begin(), kCatalogues.end(),
            [&](const Catalogue &candidate) { return candidate.language == languageOf(tag); });
        if (catalogue != kCatalogues.end())
            return *catalogue;
    }
    return kCatalogues.front();
}

void speak(const Catalogue &catalogue)
{
    spoken = &catalogue;
}

std::string_view textOf(Text text)
{
    return spoken->texts.at(static_cast<std::size_t>(text));
}

namespace {

// One pass over the pattern, so that a filling is never read for names.
std::string filled(std::string_view pattern, std::initializer_list<Filling> fillings)
{
    std::string text;
    std::size_t done = 0;
    for (std::size_t open = pattern.find('{'); open != std::string_view::npos;
         open = pattern.find('{', done)) {
        const std::size_t close = pattern.find('}', open);
        if (close == std::string_view::npos)
            break;
        const std::string_view name = pattern.substr(open + 1, close - open - 1);
        const auto filling = std::find_if(fillings.begin(), fillings.end(),
            [name](const Filling &candidate) { return candidate.name == name; });
        text += pattern.substr(done, open - done);
        text += filling != fillings.end() ? filling->value : pattern.substr(open, close + 1 - open);
        done = close + 1;
    }
    text += pattern.substr(done);
    return text;
}

} // namespace

std::string filledText(Text text, std::initializer_list<Filling> fillings)
{
    return filled(textOf(text), fillings);
}

std::string filledText(Text text, unsigned long count, std::initializer_list<Filling> fillings)
{
    const std::string_view other = spoken->otherForms.at(static_cast<std::size_t>(text));
    return filled(spoken->formOf(count) == 1 && !other.empty() ? other : textOf(text), fillings);
}

} // namespace runby
