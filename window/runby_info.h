#pragma once

#include <string>

namespace runby {

// The text of the code rule the calculator applies, its lines joined by CR LF.
std::string runbyInfoText();

} // namespace runby
