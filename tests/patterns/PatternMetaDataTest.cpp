#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "patterns/Vst303PatternMetaData.h"

namespace
{
int presentCount(const Vst303PatternMetaData& m)
{
    int n = 0;
    for (int i = 0; i < Vst303PatternMetaData::kMaxEntries; ++i)
        n += m.present[i];
    return n;
}

std::string written(const Vst303PatternMetaData& m)
{
    FILE* f = std::tmpfile();
    if (f == nullptr) return "<no tmpfile>";
    EXPECT_EQ(m.Write(f), 0);
    std::rewind(f);
    std::string text;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f))
        text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

bool parse(Vst303PatternMetaData& m, std::string line)
{
    return m.Parse(&line[0]);
}
} // namespace

TEST(PatternMetaData, StartsWithEveryValueAbsent)
{
    Vst303PatternMetaData m;
    for (int i = 0; i < Vst303PatternMetaData::kMaxEntries; ++i)
    {
        EXPECT_EQ(m.value[i], -1.0f);
        EXPECT_EQ(m.present[i], 0);
    }
    EXPECT_STREQ(Vst303PatternMetaData::meta_tag_table[0], "Tune:");
    EXPECT_STREQ(Vst303PatternMetaData::meta_tag_table[17], "TuningTrim:");
    EXPECT_STREQ(Vst303PatternMetaData::meta_tag_table[18], "LowCut:");
    float v = 7.0f;
    EXPECT_EQ(m.getValue("Tune:", &v), 0);
    EXPECT_EQ(v, 7.0f);
}

TEST(PatternMetaData, SetValueMatchesTagsExactly)
{
    Vst303PatternMetaData m;
    EXPECT_EQ(m.setValue("tune:", 0.5f), 0);
    EXPECT_EQ(m.setValue("Tune", 0.5f), 0);
    EXPECT_EQ(m.setValue("Tune: ", 0.5f), 0);
    EXPECT_EQ(m.setValue(nullptr, 0.5f), 0);
    EXPECT_EQ(presentCount(m), 0);

    EXPECT_EQ(m.setValue("LowCut:", 0.75f), 1);
    EXPECT_EQ(m.present[18], 1);
    EXPECT_EQ(m.value[18], 0.75f);
    float v = 0.0f;
    EXPECT_EQ(m.getValue("LowCut:", &v), 1);
    EXPECT_EQ(v, 0.75f);
    EXPECT_EQ(m.getValue("lowcut:", &v), 0);
}

TEST(PatternMetaData, ParseIgnoresTheTagLineOfAPatternFile)
{
    Vst303PatternMetaData m;
    EXPECT_TRUE(parse(m, "; OXN3 Meta tag: 2147483664"));
    EXPECT_TRUE(parse(m, " OXN3 Meta tag: 16\n"));
    EXPECT_TRUE(parse(m, "; OXN3 pattern file\n"));
    EXPECT_TRUE(parse(m, ""));
    EXPECT_TRUE(parse(m, "   \t  "));
    EXPECT_EQ(presentCount(m), 0);
}

TEST(PatternMetaData, ParseStoresTagValuePairs)
{
    Vst303PatternMetaData m;
    EXPECT_TRUE(parse(m, "Tune: 0.25 Volume: 1.0"));
    float v = -5.0f;
    EXPECT_EQ(m.getValue("Tune:", &v), 1);
    EXPECT_EQ(v, 0.25f);
    EXPECT_EQ(m.getValue("Volume:", &v), 1);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(m.getValue("Drive:", &v), 0);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(presentCount(m), 2);

    // The meta line as written to a file, with or without its comment marker.
    Vst303PatternMetaData written;
    EXPECT_TRUE(parse(written, "; Tune: 0.500000 Cutoff: 0.250000 \n"));
    EXPECT_EQ(written.getValue("Tune:", &v), 1);
    EXPECT_EQ(v, 0.5f);
    EXPECT_EQ(written.getValue("Cutoff:", &v), 1);
    EXPECT_EQ(v, 0.25f);
    EXPECT_EQ(presentCount(written), 2);
    Vst303PatternMetaData unmarked;
    EXPECT_TRUE(parse(unmarked, " Tune: 0.500000 Cutoff: 0.250000 "));
    EXPECT_EQ(presentCount(unmarked), 2);

    Vst303PatternMetaData spaced;
    EXPECT_TRUE(parse(spaced, "\t Decay:   \t 0.125  Accent:\n0.5\n"));
    EXPECT_EQ(spaced.getValue("Decay:", &v), 1);
    EXPECT_EQ(v, 0.125f);
    EXPECT_EQ(spaced.getValue("Accent:", &v), 1); // a line feed separates words too
    EXPECT_EQ(v, 0.5f);
}

TEST(PatternMetaData, TabsDoNotSeparateWords)
{
    Vst303PatternMetaData m;
    EXPECT_TRUE(parse(m, "Tune:\t0.5 Cutoff:\t0.25"));
    EXPECT_EQ(presentCount(m), 0);
    // "Tune:\t0.5" is one word used as a name, "Cutoff:\t0.25" its value.
    EXPECT_TRUE(parse(m, "Decay: 0.5\tResonance: 0.75"));
    float v = 0.0f;
    EXPECT_EQ(m.getValue("Decay:", &v), 1); // atof stops at the tab
    EXPECT_EQ(v, 0.5f);
    EXPECT_EQ(m.getValue("Resonance:", &v), 0);
}

TEST(PatternMetaData, LongWordsAreCutAfterFortyCharacters)
{
    Vst303PatternMetaData m;
    // 50 characters: the first 40 are a name, the last 10 the value word.
    const std::string longWord = std::string(40, 'x') + "0.75xxxxxx";
    EXPECT_TRUE(parse(m, longWord + " Tune: 0.5"));
    float v = 0.0f;
    EXPECT_EQ(m.getValue("Tune:", &v), 1);
    EXPECT_EQ(v, 0.5f);

    // A 40-character run followed by "Cutoff:": the rest becomes the next word, shifting the pairs.
    Vst303PatternMetaData n;
    EXPECT_TRUE(parse(n, std::string(40, 'y') + "Cutoff: 0.25 Decay: 0.5"));
    EXPECT_EQ(presentCount(n), 0);
    EXPECT_TRUE(parse(n, std::string(40, 'y') + "pad Decay: 0.5"));
    EXPECT_EQ(n.getValue("Decay:", &v), 1);
    EXPECT_EQ(v, 0.5f);

    Vst303PatternMetaData shifted;
    EXPECT_TRUE(parse(shifted, std::string(41, 'z') + " Tune: 0.5"));
    // The 41st 'z' is read as the value of the first word, so the pairs stay in step.
    EXPECT_EQ(shifted.getValue("Tune:", &v), 1);

    Vst303PatternMetaData overlong;
    EXPECT_TRUE(parse(overlong, std::string(500, 'q')));
    EXPECT_EQ(presentCount(overlong), 0);
}

TEST(PatternMetaData, WriteListsPresentTagsInTableOrder)
{
    Vst303PatternMetaData m;
    EXPECT_EQ(written(m), "; \n");
    m.setValue("Cutoff:", 0.25f);
    m.setValue("Tune:", 0.5f);
    EXPECT_EQ(written(m), "; Tune: 0.500000 Cutoff: 0.250000 \n");

    Vst303PatternMetaData back;
    std::string line = written(m);
    EXPECT_TRUE(back.Parse(&line[0]));
    for (int i = 0; i < Vst303PatternMetaData::kMaxEntries; ++i)
    {
        EXPECT_EQ(back.present[i], m.present[i]);
        EXPECT_EQ(back.value[i], m.value[i]);
    }
}
