#include "keyboard_policy.h"

#include <gtest/gtest.h>

using namespace runby;

namespace {

using Kind = KeyAction::Kind;

KeyPress letter(char c, bool alt, bool ctrl)
{
    return keyPressOf(static_cast<unsigned>(c), alt, ctrl, false);
}

KeyPress plain(unsigned virtualKey)
{
    return keyPressOf(virtualKey, false, false, false);
}

} // namespace

TEST(KeyboardPolicy, AnswersEachKeyWhereverTheFocusIs)
{
    const KeyPress enter = plain(13);
    const struct
    {
        const char *what;
        KeyPress key;
        ControlId focus;
        KeyAction action;
    } cases[] = {
        {"Enter in a speed", enter, ControlId::txtImperialSpeed,
            {Kind::Press, ControlId::cmdCalculate}},
        {"Enter in a result", enter, ControlId::txtRunbyInches,
            {Kind::Press, ControlId::cmdCalculate}},
        {"Enter on an option", enter, ControlId::optMetric, {Kind::Press, ControlId::cmdCalculate}},
        {"Enter on Clear", enter, ControlId::cmdClear, {Kind::Press, ControlId::cmdClear}},
        {"Shift+Enter", keyPressOf(13, false, false, true), ControlId::txtImperialSpeed, {}},
        {"Alt+C", letter('C', true, false), ControlId::txtMetricSpeed,
            {Kind::Press, ControlId::cmdCalculate}},
        {"Alt+L on Calculate", letter('L', true, false), ControlId::cmdCalculate,
            {Kind::Press, ControlId::cmdClear}},
        {"Alt+I", letter('I', true, false), ControlId::txtMetricSpeed,
            {Kind::Select, ControlId::optImperial}},
        {"Alt+M", letter('M', true, false), ControlId::optImperial,
            {Kind::Select, ControlId::optMetric}},
        {"Alt+H", letter('H', true, false), ControlId::txtImperialSpeed,
            {Kind::OpenMenu, ControlId::mnuHelp}},
        {"Alt+R, the item's letter", letter('R', true, false), ControlId::txtImperialSpeed, {}},
        {"Alt+X", letter('X', true, false), ControlId::txtImperialSpeed, {}},
        {"Ctrl+R", letter('R', false, true), ControlId::cmdClear,
            {Kind::Choose, ControlId::mnuRunbyInfo}},
        {"Ctrl+C copies", letter('C', false, true), ControlId::txtRunbyInches, {}},
        {"Ctrl+Alt+R", letter('R', true, true), ControlId::txtImperialSpeed, {}},
        {"a letter typed", letter('M', false, false), ControlId::txtImperialSpeed, {}},
        {"Right on Imperial", plain(39), ControlId::optImperial,
            {Kind::Select, ControlId::optMetric}},
        {"Up on Imperial", plain(38), ControlId::optImperial, {Kind::Select, ControlId::optMetric}},
        {"Left on Metric", plain(37), ControlId::optMetric, {Kind::Select, ControlId::optImperial}},
        {"Down on Metric", plain(40), ControlId::optMetric, {Kind::Select, ControlId::optImperial}},
        {"Left in a speed", plain(37), ControlId::txtImperialSpeed, {}},
        {"Shift+Right on an option", keyPressOf(39, false, false, true), ControlId::optImperial,
            {}},
        {"Tab", plain(9), ControlId::optImperial, {}},
        {"Right on Calculate", plain(39), ControlId::cmdCalculate, {}},
        {"Down on Clear", plain(40), ControlId::cmdClear, {}},
        {"Up on the bare window", plain(38), ControlId::frmRunby, {}},
        {"Escape in a speed", plain(27), ControlId::txtImperialSpeed, {}},
        {"Enter on the open menu's item", enter, ControlId::mnuRunbyInfo,
            {Kind::Choose, ControlId::mnuRunbyInfo}},
        {"R on the open menu", letter('R', false, false), ControlId::mnuRunbyInfo,
            {Kind::Choose, ControlId::mnuRunbyInfo}},
        {"Alt+R on the open menu", letter('R', true, false), ControlId::mnuRunbyInfo,
            {Kind::Choose, ControlId::mnuRunbyInfo}},
        {"Ctrl+R on the open menu", letter('R', false, true), ControlId::mnuRunbyInfo,
            {Kind::Choose, ControlId::mnuRunbyInfo}},
        {"Escape on the open menu", plain(27), ControlId::mnuRunbyInfo, {Kind::CloseMenu}},
        {"Alt+C on the open menu", letter('C', true, false), ControlId::mnuRunbyInfo, {}},
        {"X on the open menu", letter('X', false, false), ControlId::mnuRunbyInfo, {}},
        {"Enter on the menu's title", enter, ControlId::mnuHelp,
            {Kind::OpenMenu, ControlId::mnuHelp}},
        {"Down on the menu's title", plain(40), ControlId::mnuHelp,
            {Kind::OpenMenu, ControlId::mnuHelp}},
        {"Escape on the menu's title", plain(27), ControlId::mnuHelp, {Kind::CloseMenu}},
        {"R on the menu's title", letter('R', false, false), ControlId::mnuHelp, {}},
        {"Alt+C on the menu's title", letter('C', true, false), ControlId::mnuHelp,
            {Kind::Press, ControlId::cmdCalculate}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const KeyAction action = keyAction(c.key, c.focus);
        EXPECT_EQ(action.kind, c.action.kind);
        EXPECT_EQ(nameOf(action.target), nameOf(c.action.target));
    }
}
