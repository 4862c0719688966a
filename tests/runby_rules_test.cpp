#include "runby_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace runby;

namespace {

using Texts = std::vector<std::string>;

struct ResultsCase
{
    UnitMode mode;
    std::string speed;
    Texts expected;
};

std::string describe(const ResultsCase &c)
{
    return (c.mode == UnitMode::Imperial ? "imperial \"" : "metric \"") + c.speed + "\"";
}

void expectResults(const ResultsCase &c)
{
    SCOPED_TRACE(describe(c));
    const RunbyOutcome outcome = computeRunby(c.mode, c.speed);
    EXPECT_EQ(outcome.kind, RunbyOutcome::Kind::Results);
    EXPECT_FALSE(outcome.stoppedEarly);
    EXPECT_EQ(outcome.texts, c.expected);
}

TEST(ComputeRunby, GivesTheWorkedResultsToTheDigit)
{
    const ResultsCase cases[] = {
        {UnitMode::Imperial, "50", {"3", "76.2", "0.254"}},
        {UnitMode::Imperial, "100.00001", {"3.0000003", "76.20000762", "0.5080000508"}},
        {UnitMode::Imperial, "150", {"4.5", "114.3", "0.762"}},
        {UnitMode::Imperial, "200", {"6", "152.4", "1.016"}},
        {UnitMode::Metric, "0.25", {"75", "2.952755905512", "49.212598425197"}},
        {UnitMode::Metric, "0.5", {"75", "2.952755905512", "98.425196850394"}},
        {UnitMode::Metric, "0.75", {"112.5", "4.429133858268", "147.637795275591"}},
        {UnitMode::Metric, "2", {"150", "5.905511811024", "393.700787401576"}},
    };
    for (const auto &c : cases)
        expectResults(c);
}

// The second runby comes from the first as shown, not from the unrounded product: 0.5000077 m/s
// gives 75.00115500000001 mm, and 75.0011550000000 mm read back gives a last digit of 4, not 5;
// 100.11031002168 ft/min gives 3.0033093006503995 in, whose millimetres would end in 1, not 2.
TEST(ComputeRunby, ConvertsTheSecondRunbyFromTheFirstAsShown)
{
    expectResults(
        {UnitMode::Metric, "0.5000077", {"75.001155", "2.95280137795294", "98.4267125984255"}});
    expectResults({UnitMode::Imperial, "100.00001", {"3.0000003", "76.20000762", "0.5080000508"}});
    expectResults({UnitMode::Imperial, "100.11031002168",
        {"3.0033093006504", "76.2840562365202", "0.508560374910134"}});
}

TEST(ComputeRunby, PlacesEachRangeBoundaryOnTheRightSide)
{
    const ResultsCase cases[] = {
        {UnitMode::Imperial, "1e-8", {"3", "76.2", "5.08E-11"}},
        {UnitMode::Imperial, "100", {"3", "76.2", "0.508"}},
        {UnitMode::Imperial, "199.99999", {"5.9999997", "152.39999238", "1.0159999492"}},
        {UnitMode::Imperial, "200", {"6", "152.4", "1.016"}},
        {UnitMode::Imperial, "1e300", {"6", "152.4", "5.08E+297"}},
        {UnitMode::Metric, ".00000001", {"75", "2.952755905512", "1.96850393700788E-06"}},
        {UnitMode::Metric, ".49999999", {"75", "2.952755905512", "98.4251948818901"}},
        {UnitMode::Metric, ".99999999", {"149.9999985", "5.90551175196888", "196.850391732284"}},
        {UnitMode::Metric, "1", {"150", "5.905511811024", "196.850393700788"}},
        {UnitMode::Metric, "999999999", {"150", "5.905511811024", "196850393503.938"}},
    };
    for (const auto &c : cases)
        expectResults(c);
}

TEST(ComputeRunby, ReadsTheSpeedLikeTheUserTypedIt)
{
    const ResultsCase cases[] = {
        {UnitMode::Imperial, "12abc", {"3", "76.2", "0.06096"}},
        {UnitMode::Imperial, "1,5", {"3", "76.2", "0.00508"}},
        {UnitMode::Imperial, " 1 5 0 ", {"4.5", "114.3", "0.762"}},
        {UnitMode::Imperial, "&HFF", {"6", "152.4", "1.2954"}},
        {UnitMode::Metric, "12abc", {"150", "5.905511811024", "2362.20472440946"}},
        {UnitMode::Metric, "1,5", {"150", "5.905511811024", "196.850393700788"}},
    };
    for (const auto &c : cases)
        expectResults(c);
}

TEST(ComputeRunby, ClearsForSpeedsThatAreNotPositive)
{
    for (const UnitMode mode : {UnitMode::Imperial, UnitMode::Metric}) {
        for (const char *speed :
            {"", "abc", "0", "-0", "-5", "-1e300", "1e-400", "&HFFFF", "inf"}) {
            SCOPED_TRACE(speed);
            const RunbyOutcome outcome = computeRunby(mode, speed);
            EXPECT_EQ(outcome.kind, RunbyOutcome::Kind::Clear);
            EXPECT_TRUE(outcome.texts.empty());
        }
    }
}

TEST(ComputeRunby, ChangesNothingForPositiveSpeedsOutsideEveryRange)
{
    const std::pair<UnitMode, const char *> cases[] = {
        {UnitMode::Imperial, "1e-9"},
        {UnitMode::Imperial, "1e-310"},
        {UnitMode::Imperial, "9.9999999e-9"},
        {UnitMode::Imperial, "100.000001"},
        {UnitMode::Imperial, "199.999995"},
        {UnitMode::Metric, "1e-9"},
        {UnitMode::Metric, ".499999995"},
        {UnitMode::Metric, ".999999995"},
    };
    for (const auto &[mode, speed] : cases) {
        SCOPED_TRACE(speed);
        const RunbyOutcome outcome = computeRunby(mode, speed);
        EXPECT_EQ(outcome.kind, RunbyOutcome::Kind::NoChange);
        EXPECT_TRUE(outcome.texts.empty());
    }
}

TEST(ComputeRunby, StopsEarlyWhereANumberLeavesTheDoubleRange)
{
    for (const UnitMode mode : {UnitMode::Imperial, UnitMode::Metric}) {
        const RunbyOutcome unreadable = computeRunby(mode, "1e400");
        EXPECT_EQ(unreadable.kind, RunbyOutcome::Kind::Results);
        EXPECT_TRUE(unreadable.stoppedEarly);
        EXPECT_TRUE(unreadable.texts.empty());
    }

    const RunbyOutcome metricOverflow = computeRunby(UnitMode::Metric, "1e306");
    EXPECT_EQ(metricOverflow.kind, RunbyOutcome::Kind::Results);
    EXPECT_TRUE(metricOverflow.stoppedEarly);
    EXPECT_EQ(metricOverflow.texts, (Texts{"150", "5.905511811024"}));

    expectResults({UnitMode::Metric, "9e305", {"150", "5.905511811024", "1.77165354330709E+308"}});
    expectResults({UnitMode::Imperial, "1e308", {"6", "152.4", "5.08E+305"}});
}

} // namespace
