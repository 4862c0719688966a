#pragma once

namespace runby {

// Builds the calculator's page from the window's layout, runs Form_Load and leaves the page to
// the browser, which sends the events.
void startWebWindow();

} // namespace runby
