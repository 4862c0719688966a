#include "runby_info.h"

#include "catalogue.h"

#include <string_view>

namespace runby {

std::string runbyInfoText()
{
    std::string text;
    for (const char c : textOf(Text::runby_info_text)) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}

} // namespace runby
