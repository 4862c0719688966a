#pragma once

#include <string>

namespace runby {

// The client area's controls as HTML, in the order of reading, each in the state the calculator
// gives it on loading: the page draws them before its module is ready, which then takes them
// over as they are.
std::string clientAreaMarkup();

} // namespace runby
