// The parameter table, its value texts and the one setter every caller goes through.
#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/HostParameter.h"

using oxn3test::makeProcessor;

namespace
{
struct ExpectedParameter
{
    const char* name;
    float defaultValue;
};

const ExpectedParameter kExpected[oxn3::kNumParameters] = {
    {"Tuning", 0.5f},   {"Cutoff", 0.0f},   {"Resonance", 0.0f}, {"Envmod", 0.0f},    {"Decay", 0.0f},
    {"Accent", 0.0f},   {"Volume", 0.75f},  {"Edit View", 0.0f}, {"Waveform", 0.0f},  {"Highpass", 0.0f},
    {"Drive", 0.0f},    {"Distort", 0.0f},  {"Dist.Mode", 0.0f}, {"Reso Trim", 0.0f}, {"Gate Trim", 0.0f},
    {"Detune", 0.0f},   {"Bass", 0.5f},     {"VCF Trim", 0.5f}};
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
        EXPECT_EQ(processor->getParameterName(i), kExpected[i].name);
        EXPECT_EQ(parameter->getName(100), kExpected[i].name);
        EXPECT_FLOAT_EQ(processor->getParameterDefaultValue(i), kExpected[i].defaultValue);
        EXPECT_FLOAT_EQ(parameter->getDefaultValue(), kExpected[i].defaultValue);
        EXPECT_TRUE(parameter->isAutomatable());
        ids.add(dynamic_cast<HostParameter*>(parameter)->getParameterID());
    }
    ids.removeDuplicates(false);
    EXPECT_EQ(ids.size(), 18);
    EXPECT_EQ(ids[0], "tuning");
    EXPECT_EQ(ids[17], "vcfTrim");
}

TEST(ParameterTable, OutOfRangeIndicesReadZeroAndOnlyTouch)
{
    auto processor = makeProcessor();
    EXPECT_EQ(processor->getParameter(18), 0.0f);
    EXPECT_EQ(processor->getParameter(-1), 0.0f);
    EXPECT_EQ(processor->getParameterDefaultValue(100), 0.0f);

    processor->guiRefresh = 0;
    processor->setParameter(100, 0.7f);
    EXPECT_EQ(processor->touchedParameter, 100);
    EXPECT_EQ(processor->guiRefresh, 1);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(processor->getParameter(i), processor->getParameterDefaultValue(i)) << i;
}

TEST(ParameterTable, TrimParametersDriveTheirFieldsOnlyOnceSet)
{
    auto processor = makeProcessor();
    EXPECT_EQ(processor->getParameter(13), 0.0f);
    EXPECT_EQ(processor->getParameterText(13), "0%");
    EXPECT_EQ(processor->ResoTrim, 0.5);

    processor->setParameter(13, 0.2f);
    EXPECT_FLOAT_EQ(processor->getParameter(13), 0.2f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->ResoTrim), 0.2f);
    processor->setParameter(14, 0.3f);
    processor->setParameter(15, 0.4f);
    processor->setParameter(17, 0.6f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->GateTrim), 0.3f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->TuningTrim), 0.4f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->VCFTrim), 0.6f);
}

TEST(ParameterTable, HostValueTexts)
{
    auto processor = makeProcessor();
    const auto textAt = [&](int index, float value) {
        processor->setParameter(index, value);
        return processor->getParameterText(index);
    };
    EXPECT_EQ(textAt(0, 0.5f), "50%, +0.0 semitones");
    EXPECT_EQ(textAt(0, 0.0f), "0%, -12.0 semitones");
    EXPECT_EQ(textAt(0, 1.0f), "100%, +12.0 semitones");
    EXPECT_EQ(textAt(7, 1.0f), "Preferences / Setup");
    EXPECT_EQ(textAt(7, 0.26f), "Pattern Edit");
    EXPECT_EQ(textAt(7, 0.0f), "Classic Edit");
    EXPECT_EQ(textAt(7, 1.3f), "N/A");
    EXPECT_EQ(textAt(8, 0.5f), "Saw");
    EXPECT_EQ(textAt(8, 0.51f), "Square");
    EXPECT_EQ(textAt(12, 1.0f), "Fold");
    EXPECT_EQ(textAt(12, 0.4f), "Diode");
    EXPECT_EQ(textAt(12, 1.2f), "N/A");
    EXPECT_EQ(textAt(1, 0.53f), "52%"); // 0.53f x 100 in single precision is 52.99999, truncated
    EXPECT_EQ(textAt(6, 0.75f), "75%");
}

TEST(ParameterTable, EditorTextsAndLearnNames)
{
    auto processor = makeProcessor();
    processor->setParameter(8, 0.3f);
    EXPECT_EQ(processor->getParameterTextForGUI(8), "Waveform: Saw");
    processor->setParameter(8, 0.6f);
    EXPECT_EQ(processor->getParameterTextForGUI(8), "Waveform: Square");
    processor->setParameter(0, 0.5f);
    EXPECT_EQ(processor->getParameterTextForGUI(0), "Tuning: 50%, +0.0 semitones");
    processor->setParameter(2, 0.42f);
    EXPECT_EQ(processor->getParameterTextForGUI(2), "Resonance: 42%");
    processor->setParameter(12, 0.0f);
    EXPECT_EQ(processor->getParameterTextForGUI(12), "Bypass");
    EXPECT_EQ(processor->getParameterTextForGUI(16), "Bass: 50%");
    EXPECT_EQ(processor->getParameterTextForGUI(213), "Random: 0%");

    EXPECT_EQ(processor->getParameterName(100), "Pat.Length");
    EXPECT_EQ(processor->getParameterName(124), "R.NextSeed");
    EXPECT_EQ(processor->getParameterName(211), "B");
    EXPECT_EQ(processor->getParameterName(212), "C");
    EXPECT_EQ(processor->getParameterName(228), "Tranpose Down");
    EXPECT_EQ(processor->getParameterName(236), "Note Tie");
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
    EXPECT_EQ(host.changes, 1);
    EXPECT_FLOAT_EQ(processor->getParameter(4), 0.6f);
    EXPECT_EQ(processor->touchedParameter, 4);
    EXPECT_EQ(processor->guiRefresh, 1);

    processor->setParameter(150, 1.0f); // a learn id is no host parameter
    EXPECT_EQ(host.changes, 1);
    processor->removeListener(&host);
}
