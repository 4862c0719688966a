#include "calculator_form.h"
#include "catalogue.h"
#include "fake_controls.h"
#include "runby_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace runby;
using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;

namespace {

class CalculatorFormTest : public testing::Test
{
protected:
    CalculatorFormTest()
    {
        imperialSpeed.changed = [this] {
            form.respond(ControlId::txtImperialSpeed, ControlEvent::Change);
        };
        metricSpeed.changed = [this] {
            form.respond(ControlId::txtMetricSpeed, ControlEvent::Change);
        };
        form.setDesignTimeProperties();
        form.Form_Load();
    }

    // The user types a speed into the active field and presses Calculate.
    void calculate(const std::string &speed)
    {
        activeSpeed().type(speed);
        screen.writes.clear();
        form.cmdCalculate_Click();
    }

    FakeTextBox &activeSpeed()
    {
        return form.unitMode() == UnitMode::Imperial ? imperialSpeed : metricSpeed;
    }

    std::vector<std::string> texts() const
    {
        return {
            imperialSpeed.text(), metricSpeed.text(), runbyInches.text(), runbyMillimeters.text()};
    }

    FakeScreen screen;
    FakeTextBox imperialSpeed{screen, "txtImperialSpeed", kSpeedFieldLength};
    FakeTextBox metricSpeed{screen, "txtMetricSpeed", kSpeedFieldLength};
    FakeTextBox runbyInches{screen, "txtRunbyInches"};
    FakeTextBox runbyMillimeters{screen, "txtRunbyMillimeters"};
    FakeOptionButton optImperial;
    FakeOptionButton optMetric;
    FakeMessageBox messageBox;
    FakeAnnouncer announcer;
    CalculatorForm form{{imperialSpeed, metricSpeed, runbyInches, runbyMillimeters, optImperial,
        optMetric, messageBox, announcer}};
};

const std::vector<std::string> kAllEmpty{"", "", "", ""};

TEST_F(CalculatorFormTest, StartsInImperialModeWithTheMetricSpeedShownOnly)
{
    EXPECT_EQ(form.unitMode(), UnitMode::Imperial);
    EXPECT_EQ(texts(), kAllEmpty);
    EXPECT_EQ(metricSpeed.backColor, kYellow);
    EXPECT_TRUE(metricSpeed.locked);
    EXPECT_FALSE(metricSpeed.tabStop);
    EXPECT_TRUE(optImperial.value);
    EXPECT_EQ(optImperial.foreColor, kRed);
    for (const FakeTextBox *runby : {&runbyInches, &runbyMillimeters}) {
        EXPECT_EQ(runby->backColor, kYellow);
        EXPECT_TRUE(runby->locked);
        EXPECT_FALSE(runby->tabStop);
    }
    // The active field and the other caption keep the toolkit's defaults until a mode switch.
    EXPECT_EQ(imperialSpeed.backColor, std::nullopt);
    EXPECT_FALSE(imperialSpeed.locked);
    EXPECT_TRUE(imperialSpeed.tabStop);
    EXPECT_EQ(optMetric.foreColor, std::nullopt);
    EXPECT_THAT(screen.writes, IsEmpty());
}

TEST_F(CalculatorFormTest, CalculateWritesTheResultsInOrderWithoutMovingTheFocus)
{
    screen.focus = &imperialSpeed;
    calculate("150");
    EXPECT_THAT(screen.writes,
        ElementsAre("txtRunbyInches=4.5", "txtRunbyMillimeters=114.3", "txtMetricSpeed=0.762"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"150", "0.762", "4.5", "114.3"}));
    EXPECT_EQ(screen.focus, &imperialSpeed);

    form.optMetric_Click();
    calculate("0.75");
    EXPECT_THAT(screen.writes,
        ElementsAre("txtRunbyMillimeters=112.5", "txtRunbyInches=4.429133858268",
            "txtImperialSpeed=147.63779"));
    EXPECT_EQ(screen.focus, &metricSpeed);
}

TEST_F(CalculatorFormTest, ShowsEveryConvertedSpeedWithinTheSpeedFieldKeepingItsMagnitude)
{
    struct Case
    {
        bool metric;
        std::string speed;
        std::vector<std::string> expected; // imperial speed, metric speed, inches, millimetres
    };
    const Case cases[] = {
        {false, "100.00001", {"100.00001", "0.5080000", "3.0000003", "76.20000762"}},
        {false, "1e-8", {"1e-8", "5.08E-11", "3", "76.2"}},
        {false, "1.2345e-8", {"1.2345e-8", "6.271E-11", "3", "76.2"}},
        {true, ".00000001", {"1.968E-06", ".00000001", "2.952755905512", "75"}},
        {true, "999999999", {"1.968E+11", "999999999", "5.905511811024", "150"}},
        {true, "2", {"393.70078", "2", "5.905511811024", "150"}},
        {true, "1e306", {"", "1e306", "5.905511811024", "150"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.speed);
        if (c.metric)
            form.optMetric_Click();
        else
            form.optImperial_Click();
        form.cmdClear_Click();
        calculate(c.speed);
        EXPECT_EQ(texts(), c.expected);
    }
}

TEST_F(CalculatorFormTest, CalculatingTwiceLeavesTheSameResults)
{
    calculate("150");
    form.cmdCalculate_Click();
    EXPECT_EQ(texts(), (std::vector<std::string>{"150", "0.762", "4.5", "114.3"}));

    form.optMetric_Click();
    calculate("0.75");
    form.cmdCalculate_Click();
    EXPECT_EQ(texts(), (std::vector<std::string>{"147.63779", "0.75", "4.429133858268", "112.5"}));
}

TEST_F(CalculatorFormTest, EditingTheSpeedAfterAResultEmptiesTheOtherFields)
{
    calculate("150");
    screen.writes.clear();
    imperialSpeed.type("0");
    EXPECT_THAT(screen.writes,
        ElementsAre(
            "txtImperialSpeed=1500", "txtMetricSpeed=", "txtRunbyInches=", "txtRunbyMillimeters="));
    EXPECT_EQ(texts(), (std::vector<std::string>{"1500", "", "", ""}));

    screen.writes.clear();
    imperialSpeed.type("1");
    EXPECT_THAT(screen.writes, ElementsAre("txtImperialSpeed=15001"));

    form.optMetric_Click();
    calculate("0.75");
    screen.writes.clear();
    metricSpeed.type("5");
    EXPECT_THAT(screen.writes,
        ElementsAre("txtMetricSpeed=0.755",
            "txtImperialSpeed=", "txtRunbyInches=", "txtRunbyMillimeters="));
}

TEST_F(CalculatorFormTest, CalculateClearsTheFormForSpeedsThatAreNotPositive)
{
    for (const bool metric : {false, true}) {
        if (metric)
            form.optMetric_Click();
        for (const char *speed : {"", "abc", "0", "-5"}) {
            SCOPED_TRACE(speed);
            form.cmdClear_Click();
            screen.focus = nullptr;
            calculate(speed);
            EXPECT_EQ(texts(), kAllEmpty);
            EXPECT_EQ(screen.focus, &activeSpeed());
        }
    }
}

TEST_F(CalculatorFormTest, CalculateWritesNothingForSpeedsOutsideEveryRangeOrBeyondDoubles)
{
    for (const char *speed : {"1e-9", "9e-9", "1e400", "-1e999"}) {
        SCOPED_TRACE(speed);
        form.cmdClear_Click();
        calculate(speed);
        EXPECT_THAT(screen.writes, IsEmpty());
        EXPECT_EQ(texts(), (std::vector<std::string>{speed, "", "", ""}));
    }
}

TEST_F(CalculatorFormTest, SwitchingTheModeEmptiesTheFieldsAndSwapsTheActiveField)
{
    calculate("150");
    screen.writes.clear();
    announcer.said.clear();
    form.optMetric_Click();
    // The focus goes to the speed field: a screen reader is told which option is now selected.
    EXPECT_THAT(announcer.said, ElementsAre("Metric selected"));
    EXPECT_THAT(screen.writes,
        ElementsAre("txtImperialSpeed=", "txtMetricSpeed=", "txtRunbyInches=",
            "txtRunbyMillimeters=", "txtMetricSpeed=", "txtRunbyInches=", "txtRunbyMillimeters="));
    EXPECT_EQ(form.unitMode(), UnitMode::Metric);
    EXPECT_EQ(texts(), kAllEmpty);
    EXPECT_EQ(screen.focus, &metricSpeed);
    EXPECT_EQ(imperialSpeed.backColor, kYellow);
    EXPECT_TRUE(imperialSpeed.locked);
    EXPECT_FALSE(imperialSpeed.tabStop);
    EXPECT_EQ(metricSpeed.backColor, kWhite);
    EXPECT_FALSE(metricSpeed.locked);
    EXPECT_TRUE(metricSpeed.tabStop);
    EXPECT_EQ(optMetric.foreColor, kRed);
    EXPECT_EQ(optImperial.foreColor, kBlack);

    calculate("0.75");
    announcer.said.clear();
    form.optImperial_Click();
    EXPECT_THAT(announcer.said, ElementsAre("Imperial selected"));
    EXPECT_EQ(form.unitMode(), UnitMode::Imperial);
    EXPECT_EQ(texts(), kAllEmpty);
    EXPECT_EQ(screen.focus, &imperialSpeed);
    EXPECT_EQ(metricSpeed.backColor, kYellow);
    EXPECT_TRUE(metricSpeed.locked);
    EXPECT_FALSE(metricSpeed.tabStop);
    EXPECT_EQ(imperialSpeed.backColor, kWhite);
    EXPECT_FALSE(imperialSpeed.locked);
    EXPECT_TRUE(imperialSpeed.tabStop);
    EXPECT_EQ(optImperial.foreColor, kRed);
    EXPECT_EQ(optMetric.foreColor, kBlack);
}

TEST_F(CalculatorFormTest, SelectingTheSelectedOptionKeepsTheTypedSpeedAndTheTyping)
{
    imperialSpeed.type("15");
    screen.writes.clear();
    screen.focus = nullptr;
    form.optImperial_Click();
    EXPECT_THAT(screen.writes, IsEmpty());
    EXPECT_THAT(announcer.said, IsEmpty());
    EXPECT_EQ(imperialSpeed.text(), "15");
    EXPECT_EQ(screen.focus, &imperialSpeed);
}

TEST_F(CalculatorFormTest, ClearEmptiesEveryFieldInOrderAndFocusesTheActiveSpeed)
{
    calculate("150");
    screen.writes.clear();
    screen.focus = nullptr;
    form.cmdClear_Click();
    // Emptying the imperial speed first runs its change handler, which empties the other three
    // fields before Clear itself goes on to them.
    EXPECT_THAT(screen.writes,
        ElementsAre("txtImperialSpeed=", "txtMetricSpeed=", "txtRunbyInches=",
            "txtRunbyMillimeters=", "txtMetricSpeed=", "txtRunbyInches=", "txtRunbyMillimeters="));
    EXPECT_EQ(screen.focus, &imperialSpeed);
}

TEST_F(CalculatorFormTest, RunbyInfoShowsTheRuleAndChangesNothing)
{
    calculate("150");
    screen.writes.clear();
    form.mnuRunbyInfo_Click();
    form.optMetric_Click();
    metricSpeed.type("0.7");
    screen.writes.clear();
    form.mnuRunbyInfo_Click();

    ASSERT_EQ(messageBox.shown.size(), 2U);
    for (const auto &message : messageBox.shown) {
        EXPECT_EQ(message.title, "Runby Information");
        EXPECT_EQ(message.text, runbyInfoText());
    }
    EXPECT_THAT(screen.writes, IsEmpty());
    EXPECT_EQ(metricSpeed.text(), "0.7");
}

// The results land in fields without the focus: one sentence tells a screen reader what they
// show, and the focus stays where it was.
TEST_F(CalculatorFormTest, CalculateTellsAssistiveTechnologyWhatTheFieldsShow)
{
    const struct
    {
        bool metric;
        const char *speed;
        std::vector<std::string> said;
    } cases[] = {
        {false, "150", {"Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second"}},
        // Long figures rounded for listening; the fields keep every digit.
        {true, "0.75",
            {"Minimum runby 112.5 millimeters, about 4.429 inches; about 147.6 feet per minute"}},
        {false, "100.00001",
            {"Minimum runby about 3 inches, about 76.2 millimeters; 0.508 meters per second"}},
        {true, ".00000001",
            {"Minimum runby 75 millimeters, about 2.953 inches; 1.968E-06 feet per minute"}},
        {false, "999999999",
            {"Minimum runby 6 inches, 152.4 millimeters; about 5080000 meters per second"}},
        {false, "0.1", {"Minimum runby 3 inches, 76.2 millimeters; 0.000508 meters per second"}},
        // Below 1, the significant digits count from the first that is not zero.
        {false, "1.23",
            {"Minimum runby 3 inches, 76.2 millimeters; about 0.006248 meters per second"}},
        {true, "1e306", {"Minimum runby 150 millimeters, about 5.906 inches"}},
        {false, "-5", {"The speed is not positive; the fields were cleared."}},
        {true, "abc", {"The speed is not positive; the fields were cleared."}},
        {false, "1e-9", {}},
        {false, "1e400", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.speed);
        form.respond(c.metric ? ControlId::optMetric : ControlId::optImperial, ControlEvent::Click);
        form.cmdClear_Click();
        announcer.said.clear();
        screen.focus = &activeSpeed();
        calculate(c.speed);
        EXPECT_EQ(announcer.said, c.said);
        EXPECT_EQ(screen.focus, &activeSpeed());
    }
    form.cmdClear_Click();
    form.mnuRunbyInfo_Click();
    EXPECT_THAT(announcer.said, IsEmpty());
}

TEST_F(CalculatorFormTest, RespondRunsTheHandlerBoundToTheControlAndEventOnly)
{
    imperialSpeed.type("150");
    const struct
    {
        ControlId source;
        ControlEvent event;
        std::vector<std::string> fields;
        UnitMode mode;
    } steps[] = {
        {ControlId::cmdCalculate, ControlEvent::Change, {"150", "", "", ""}, UnitMode::Imperial},
        {ControlId::Label4, ControlEvent::Click, {"150", "", "", ""}, UnitMode::Imperial},
        {ControlId::txtRunbyInches, ControlEvent::Change, {"150", "", "", ""}, UnitMode::Imperial},
        {ControlId::cmdCalculate, ControlEvent::Click, {"150", "0.762", "4.5", "114.3"},
            UnitMode::Imperial},
        {ControlId::cmdClear, ControlEvent::Click, kAllEmpty, UnitMode::Imperial},
        {ControlId::optMetric, ControlEvent::Click, kAllEmpty, UnitMode::Metric},
        {ControlId::optImperial, ControlEvent::Click, kAllEmpty, UnitMode::Imperial},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(std::string(nameOf(step.source)));
        form.respond(step.source, step.event);
        EXPECT_EQ(texts(), step.fields);
        EXPECT_EQ(form.unitMode(), step.mode);
    }
    EXPECT_THAT(messageBox.shown, IsEmpty());
    form.respond(ControlId::mnuRunbyInfo, ControlEvent::Click);
    EXPECT_EQ(messageBox.shown.size(), 1U);
}

// Each window wires a click to a button or the menu item and a change to a text field: a row
// binding another kind would never fire.
TEST(EventBindings, BindClicksToButtonsAndChangesToTextFields)
{
    for (const EventBinding &binding : kEventBindings) {
        SCOPED_TRACE(std::string(nameOf(binding.source)));
        if (binding.source == ControlId::mnuRunbyInfo) {
            EXPECT_EQ(binding.event, ControlEvent::Click);
            continue;
        }
        const ControlKind kind = layoutOf(binding.source).kind;
        if (binding.event == ControlEvent::Change)
            EXPECT_EQ(kind, ControlKind::TextField);
        else
            EXPECT_TRUE(kind == ControlKind::OptionButton || kind == ControlKind::PushButton);
    }
}

TEST(AccessKeyOf, TakesTheLetterAfterTheAmpersand)
{
    EXPECT_EQ(accessKeyOf("&Imperial"), 'I');
    EXPECT_EQ(accessKeyOf("C&lear"), 'l');
    EXPECT_EQ(accessKeyOf("Minimum Runby"), '\0');
    EXPECT_EQ(accessKeyOf("MM"), '\0');
    EXPECT_EQ(accessKeyOf("trailing&"), '\0');
}

TEST(RunbyInfoText, HoldsTheRuleInTwentyThreeLinesJoinedByCarriageReturnAndLineFeed)
{
    const std::string text = runbyInfoText();
    EXPECT_EQ(text.size(), 1004U);
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 23U);
    EXPECT_EQ(lines[0], "300.8b Minimum Bottom and Top Car Runby");
    EXPECT_EQ(lines[4], "(a) not less than 75 mm (3 in.) for operating speed(s) ");
    EXPECT_EQ(lines[10], "   the down direction  exceeding 1.00 m/s (200 ft/min).");
    EXPECT_EQ(lines[12], "(2) Car Top Minimum Runby. The top runby of the car shall be: ");
    EXPECT_EQ(lines[18], "   (100 ft/min) to 1.00 m/s (200 ft/min); and ");
    EXPECT_EQ(lines[22], "Note: The maximum top or bottom runby is 600 mm (24 in.).");
    for (const std::size_t blank : {1, 3, 11, 13, 21})
        EXPECT_EQ(lines[blank], "");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

} // namespace

// In French the fields read a comma or a full stop as the decimal sign, and every number written
// or said has a comma; a unit's name takes its form from the figure's whole part.
TEST_F(CalculatorFormTest, WritesAndReadsDecimalCommasInFrench)
{
    const std::vector<std::string> french{"fr-CA"};
    speak(catalogueFor(french));
    form.optMetric_Click();
    for (const char *speed : {"0,75", "0.75"}) {
        SCOPED_TRACE(speed);
        form.cmdClear_Click();
        announcer.said.clear();
        calculate(speed);
        EXPECT_EQ(
            texts(), (std::vector<std::string>{"147,63779", speed, "4,429133858268", "112,5"}));
        EXPECT_THAT(announcer.said,
            ElementsAre(AllOf(
                HasSubstr("112,5"), HasSubstr("4,429"), HasSubstr("147,6"), Not(HasSubstr(".")))));
    }
    form.optImperial_Click();
    calculate("1,5E2");
    EXPECT_EQ(texts(), (std::vector<std::string>{"1,5E2", "0,762", "4,5", "114,3"}));
    EXPECT_THAT(announcer.said.back(),
        AllOf(HasSubstr("4,5 pouces"), HasSubstr("0,762 mètre par seconde")));
    speak(kCatalogues.front());
}
