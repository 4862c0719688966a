#include "catalogue.h"
#include "layout.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

using namespace runby;

namespace {

char accessKeyIn(const Catalogue &catalogue, ControlId id)
{
    const char key =
        accessKeyOf(catalogue.texts.at(static_cast<std::size_t>(layoutOf(id).caption)));
    return static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
}

// The controls that Alt and one letter reach together: the client area's and the menu bar's.
bool accessKeysDiffer(const Catalogue &catalogue, std::initializer_list<ControlId> controls)
{
    std::set<char> keys;
    for (const ControlId id : controls)
        if (const char key = accessKeyIn(catalogue, id); key && !keys.insert(key).second)
            return false;
    return true;
}

} // namespace

class EachLanguage : public testing::TestWithParam<Catalogue>
{
};

INSTANTIATE_TEST_SUITE_P(Catalogue, EachLanguage, testing::ValuesIn(kCatalogues),
    [](const testing::TestParamInfo<Catalogue> &info) { return std::string(info.param.language); });

TEST_P(EachLanguage, GivesEveryControlWithAnAccessKeyOneOfItsOwn)
{
    const Catalogue &catalogue = GetParam();
    for (const ControlLayout &layout : kControls)
        EXPECT_EQ(accessKeyIn(catalogue, layout.id) != '\0',
            accessKeyIn(kCatalogues.front(), layout.id) != '\0')
            << layout.name;
    EXPECT_TRUE(accessKeysDiffer(catalogue,
        {ControlId::optImperial, ControlId::optMetric, ControlId::cmdCalculate, ControlId::cmdClear,
            ControlId::mnuHelp}));
}

TEST(CatalogueFor, TakesTheFirstLanguageTheProgramSpeaks)
{
    const struct
    {
        std::vector<std::string> languages;
        std::string_view spoken;
    } cases[] = {
        {{"fr-CA"}, "fr"},
        {{"FR_be.UTF-8"}, "fr"},
        {{"de-DE", "fr-FR", "en-US"}, "fr"},
        {{"en-US", "fr"}, "en"},
        {{"frr", "fy"}, "en"},
        {{}, "en"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(catalogueFor(c.languages).language, c.spoken)
            << testing::PrintToString(c.languages);
}

TEST(FilledText, PutsEachValueInItsPlaceOnce)
{
    EXPECT_EQ(filledText(Text::sentence_runby_speed,
                  {{"speed", "{first}"}, {"first", "4.5 inches"}, {"second", "114.3 millimeters"}}),
        "Minimum runby 4.5 inches, 114.3 millimeters; {first}");
}

// A label grows to the right for a longer caption, up to the next control on its row or the
// client area's edge, and never below its designed width.
TEST(LabelWidthFor, GrowsWithinTheRoomToItsRight)
{
    const struct
    {
        ControlId label;
        int captionWidth;
        int width;
    } cases[] = {
        {ControlId::Label6, 300, 495}, {ControlId::Label6, 600, 600},
        {ControlId::Label6, 5000, 750}, // the metric speed field
        {ControlId::Label9, 5000, 1785}, // the client area's edge
    };
    for (const auto &c : cases)
        EXPECT_EQ(labelWidthFor(layoutOf(c.label), c.captionWidth), c.width) << nameOf(c.label);
}
