#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patterns/Vst303PatternMetaData.h"

namespace
{
using Values = std::vector<std::pair<std::string, float>>;

// The tags present in m with their values, in table order.
Values presentValues(const Vst303PatternMetaData& m)
{
    Values found;
    for (const char* tag : Vst303PatternMetaData::meta_tag_table)
    {
        float v = -7.0f;
        if (m.getValue(tag, &v)) found.emplace_back(tag, v);
    }
    return found;
}
} // namespace

TEST(PatternMetaData, SetAndGetMatchTagsExactly)
{
    Vst303PatternMetaData m;
    float v = 7.0f;
    for (const char* wrong : {"tune:", "Tune", static_cast<const char*>(nullptr)})
        EXPECT_EQ(m.setValue(wrong, 0.5f), 0) << (wrong ? wrong : "null");
    EXPECT_EQ(m.setValue("LowCut:", 0.75f), 1);
    EXPECT_EQ(m.getValue("lowcut:", &v), 0);
    EXPECT_EQ(presentValues(m), (Values{{"LowCut:", 0.75f}}));
}

TEST(PatternMetaData, ParseReadsNameValuePairs)
{
    const std::pair<std::string, Values> cases[] = {
        {"; OXN3 Meta tag: 2147483664", {}}, // the tag line holds no pair
        {"", {}},
        // The meta line as written to a file, with or without its comment marker.
        {"; Tune: 0.500000 Cutoff: 0.250000 \n", {{"Tune:", 0.5f}, {"Cutoff:", 0.25f}}},
        {" Tune: 0.500000 Cutoff: 0.250000 ", {{"Tune:", 0.5f}, {"Cutoff:", 0.25f}}},
        // A line feed separates words; a tab does not.
        {"\t Decay:   \t 0.125  Accent:\n0.5\n", {{"Decay:", 0.125f}, {"Accent:", 0.5f}}},
        {"Decay: 0.5\tResonance: 0.75", {{"Decay:", 0.5f}}},
        // Words are cut after 40 characters and the rest read as the next word.
        {std::string(40, 'x') + "0.75xxxxxx Tune: 0.5", {{"Tune:", 0.5f}}},
        {std::string(500, 'q'), {}},
    };
    for (auto [line, expected] : cases)
    {
        SCOPED_TRACE(line);
        Vst303PatternMetaData m;
        EXPECT_TRUE(m.Parse(&line[0]));
        EXPECT_EQ(presentValues(m), expected);
    }
}
