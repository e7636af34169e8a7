// The parameter table, its value texts and the one setter every caller goes through.
#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/HostParameter.h"

using oxn3test::makeProcessor;

namespace
{
const char* const kNames[oxn3::kNumParameters] = {
    "Tuning", "Cutoff",    "Resonance", "Envmod",    "Decay",     "Accent", "Volume", "Edit View", "Waveform",
    "Highpass", "Drive",   "Distort",   "Dist.Mode", "Reso Trim", "Gate Trim", "Detune", "Bass",   "VCF Trim"};
const float kDefaults[oxn3::kNumParameters] = {0.5f, 0, 0, 0, 0, 0, 0.75f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f};
} // namespace

TEST(ParameterTable, EighteenParametersWithNamesDefaultsAndStableIds)
{
    auto processor = makeProcessor();
    ASSERT_EQ(processor->getNumParameters(), 18);
    ASSERT_EQ(processor->getParameters().size(), 18);
    juce::StringArray ids;
    for (int i = 0; i < 18; ++i)
    {
        SCOPED_TRACE(i);
        auto* parameter = processor->getParameters()[i];
        EXPECT_EQ(processor->getParameterName(i), kNames[i]);
        EXPECT_EQ(parameter->getName(100), kNames[i]);
        EXPECT_FLOAT_EQ(parameter->getDefaultValue(), kDefaults[i]);
        EXPECT_FLOAT_EQ(processor->getParameterDefaultValue(i), kDefaults[i]);
        EXPECT_TRUE(parameter->isAutomatable());
        ids.add(dynamic_cast<HostParameter*>(parameter)->getParameterID());
    }
    ids.removeDuplicates(false);
    EXPECT_EQ(ids.size(), 18);
    EXPECT_EQ(ids[0], "tuning");
    EXPECT_EQ(ids[17], "vcfTrim");
}

TEST(ParameterTable, OutOfRangeIndicesOnlyTouchAndTrimsDriveTheirFields)
{
    auto processor = makeProcessor();
    for (int index : {18, -1})
        EXPECT_EQ(processor->getParameter(index), 0.0f);
    EXPECT_EQ(processor->getParameterDefaultValue(100), 0.0f);
    processor->guiRefresh = 0;
    processor->setParameter(100, 0.7f);
    EXPECT_EQ(processor->touchedParameter, 100);
    EXPECT_EQ(processor->guiRefresh, 1);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(processor->getParameter(i), kDefaults[i]) << i;

    // The trims show 0 but keep their engine fields at the middle until first set.
    EXPECT_EQ(processor->ResoTrim, 0.5);
    processor->setParameter(13, 0.2f);
    processor->setParameter(14, 0.3f);
    processor->setParameter(15, 0.4f);
    processor->setParameter(17, 0.6f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->ResoTrim), 0.2f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->GateTrim), 0.3f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->TuningTrim), 0.4f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->VCFTrim), 0.6f);
}

TEST(ParameterTable, HostAndEditorTextsAndLearnNames)
{
    auto processor = makeProcessor();
    struct TextCase
    {
        int index;
        float value;
        const char* host;
        const char* editor;
    };
    const TextCase cases[] = {
        {0, 0.5f, "50%, +0.0 semitones", "Tuning: 50%, +0.0 semitones"}, {0, 0.0f, "0%, -12.0 semitones", nullptr},
        {0, 1.0f, "100%, +12.0 semitones", nullptr}, {7, 1.0f, "Preferences / Setup", nullptr},
        {7, 0.26f, "Pattern Edit", nullptr},         {7, 0.0f, "Classic Edit", nullptr},
        {7, 1.3f, "N/A", nullptr},                   {8, 0.5f, "Saw", "Waveform: Saw"},
        {8, 0.51f, "Square", "Waveform: Square"},    {12, 1.0f, "Fold", nullptr},
        {12, 0.4f, "Diode", nullptr},                {12, 1.2f, "N/A", nullptr},
        {12, 0.0f, nullptr, "Bypass"},               {2, 0.42f, nullptr, "Resonance: 42%"},
        {13, 0.0f, "0%", nullptr},
        {1, 0.53f, "52%", nullptr}, // 0.53f x 100 in single precision is 52.99999, truncated
    };
    for (const TextCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.index << " at " << c.value);
        processor->setParameter(c.index, c.value);
        if (c.host != nullptr)
        {
            EXPECT_EQ(processor->getParameterText(c.index), c.host);
        }
        if (c.editor != nullptr)
        {
            EXPECT_EQ(processor->getParameterTextForGUI(c.index), c.editor);
        }
    }
    EXPECT_EQ(processor->getParameterTextForGUI(16), "Bass: 50%");
    EXPECT_EQ(processor->getParameterTextForGUI(213), "Random: 0%");

    const std::pair<int, const char*> learnNames[] = {{100, "Pat.Length"}, {124, "R.NextSeed"}, {211, "B"},
                                                      {212, "C"}, {228, "Tranpose Down"}, {236, "Note Tie"}};
    for (const auto& [id, name] : learnNames)
        EXPECT_EQ(processor->getParameterName(id), name) << id;
    for (int id : {-1, 18, 50, 99, 125, 199, 231, 232, 233, 237})
        EXPECT_TRUE(processor->getParameterName(id).isEmpty()) << id;
}

TEST(ParameterTable, HostTextsReadBackToTheSameText)
{
    auto processor = makeProcessor();
    for (int i = 0; i < 18; ++i)
    {
        auto* parameter = processor->getParameters()[i];
        for (float value : {0.0f, 0.07f, 0.29f, 0.5f, 0.53f, 0.59f, 0.61f, 0.8f, 1.0f})
        {
            const juce::String text = parameter->getText(value, 1024);
            const float readBack = parameter->getValueForText(text);
            if (i == oxn3::kTuning) // read by its semitones, shown to 0.1 semitone
                EXPECT_NEAR(readBack, value, 0.05 / 24.0) << text;
            else
                EXPECT_EQ(parameter->getText(readBack, 1024), text) << i << " " << value;
        }
    }
    EXPECT_FLOAT_EQ(processor->getParameters()[0]->getValueForText("+6 semitones"), 0.75f);
    EXPECT_FLOAT_EQ(processor->getParameters()[1]->getValueForText("250%"), 1.0f);
    EXPECT_FLOAT_EQ(processor->getParameters()[1]->getValueForText("nonsense"), 0.0f);
}

namespace
{
struct ChangeRecorder : juce::AudioProcessorListener
{
    int changes = 0;
    int lastIndex = -1;
    float lastValue = -1.0f;
    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
    {
        ++changes;
        lastIndex = index;
        lastValue = value;
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
};
} // namespace

TEST(ParameterTable, EditorAndLearnChangesReachTheHostButHostChangesDoNotEcho)
{
    auto processor = makeProcessor();
    ChangeRecorder host;
    processor->addListener(&host);
    processor->setParameter(3, 0.25f); // editor or MIDI learn
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.lastIndex, 3);
    EXPECT_FLOAT_EQ(host.lastValue, 0.25f);
    EXPECT_FLOAT_EQ(processor->getParameters()[3]->getValue(), 0.25f);

    processor->getParameters()[4]->setValue(0.6f); // the host's own automation
    EXPECT_FLOAT_EQ(processor->getParameter(4), 0.6f);
    EXPECT_EQ(processor->touchedParameter, 4);
    processor->setParameter(150, 1.0f); // a learn id is no host parameter
    EXPECT_EQ(host.changes, 1);
    processor->removeListener(&host);
}
