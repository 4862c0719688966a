#pragma once

#include <string>
#include <string_view>

namespace runby {

constexpr std::string_view kRunbyInfoTitle = "Runby Information";

// The text of the code rule the calculator applies, its lines joined by CR LF.
std::string runbyInfoText();

} // namespace runby
