// The parameter table, its value texts and the one setter every caller goes through.
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/HostParameter.h"

using oxn3test::makeProcessor;

namespace
{
struct ValueRecorder : juce::AudioProcessorListener
{
    std::map<int, float> values;
    int changes = 0;
    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
    {
        ++changes;
        values[index] = value;
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
};
} // namespace

TEST(ParameterTable, StableIdsAndTheOneSetter)
{
    auto processor = makeProcessor();
    ASSERT_EQ(processor->getParameters().size(), 18);
    juce::StringArray ids;
    for (auto* parameter : processor->getParameters())
        ids.add(dynamic_cast<HostParameter*>(parameter)->getParameterID());
    ids.removeDuplicates(false);
    EXPECT_EQ(ids.size(), 18);
    EXPECT_EQ(ids[0], "tuning");
    EXPECT_EQ(ids[17], "vcfTrim");

    // A learn id out of the table changes nothing and touches nothing; the trims drive their own fields.
    processor->setParameter(100, 0.7f);
    EXPECT_EQ(processor->touchedParameter, -1);
    EXPECT_EQ(processor->getParameter(18), 0.0f);
    processor->setParameter(13, 0.2f);
    EXPECT_FLOAT_EQ(static_cast<float>(processor->ResoTrim), 0.2f);
}

TEST(ParameterTable, HostAndEditorTextsAndLearnNames)
{
    auto processor = makeProcessor();
    // {index, value, host text, editor text}; nullptr: not checked
    const std::tuple<int, float, const char*, const char*> cases[] = {
        {0, 0.5f, "50%, +0.0 semitones", "Tuning: 50%, +0.0 semitones"}, {0, 0.0f, "0%, -12.0 semitones", nullptr},
        {7, 0.26f, "Pattern Edit", nullptr}, {7, 1.3f, "N/A", nullptr},   {8, 0.51f, "Square", "Waveform: Square"}, {8, 0.5f, "Saw", nullptr},
        {12, 1.0f, "Fold", nullptr},         {12, 0.0f, nullptr, "Bypass"}, {2, 0.42f, nullptr, "Resonance: 42%"},
        {1, 0.53f, "52%", nullptr}, // 0.53f x 100 in single precision is 52.99999, truncated
    };
    for (const auto& [index, value, host, editor] : cases)
    {
        SCOPED_TRACE(testing::Message() << index << " at " << value);
        processor->setParameter(index, value);
        EXPECT_TRUE(host == nullptr || processor->getParameterText(index) == host) << processor->getParameterText(index);
        EXPECT_TRUE(editor == nullptr || processor->getParameterTextForGUI(index) == editor);
    }
    EXPECT_EQ(processor->getParameterTextForGUI(213), "Random: 0%");

    const std::pair<int, const char*> learnNames[] = {{100, "Pat.Length"}, {124, "R.NextSeed"}, {211, "B"},
                                                      {228, "Tranpose Down"}, {236, "Note Tie"}};
    for (const auto& [id, name] : learnNames)
        EXPECT_EQ(processor->getParameterName(id), name) << id;
    for (int id : {-1, 18, 99, 125, 231, 237})
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
    EXPECT_FLOAT_EQ(processor->getParameters()[1]->getValueForText("250%"), 1.0f);
    EXPECT_FLOAT_EQ(processor->getParameters()[1]->getValueForText("nonsense"), 0.0f);
}

TEST(ParameterTable, EditorAndLearnChangesReachTheHostButHostChangesDoNotEcho)
{
    ValueRecorder host;
    auto processor = makeProcessor();
    processor->addListener(&host);
    processor->setParameter(3, 0.25f); // editor or MIDI learn
    EXPECT_EQ(host.changes, 1);
    EXPECT_FLOAT_EQ(processor->getParameters()[3]->getValue(), 0.25f);

    processor->getParameters()[4]->setValue(0.6f); // the host's own automation
    EXPECT_FLOAT_EQ(processor->getParameter(4), 0.6f);
    processor->setParameter(150, 1.0f); // a learn id is no host parameter
    EXPECT_EQ(host.changes, 1);
    processor->removeListener(&host);
}

// An LV2 host learns values only from the plug-in's change messages: it hears every value once
// prepared and after every recall. Other hosts hear of no value that did not change: on the first
// recall only Reso Trim, Gate Trim and Detune, whose parameters start at 0 while their trims,
// which the state holds, start at 0.5.
TEST(ParameterTable, OnlyLv2HostsHearEveryValueOnPrepareAndRecall)
{
    using Wrapper = juce::AudioProcessor::WrapperType;
    for (const auto& [wrapper, announced] : {std::pair{Wrapper::wrapperType_LV2, int{oxn3::kNumParameters}},
                                             {Wrapper::wrapperType_VST3, 0}, {Wrapper::wrapperType_Standalone, 0}})
    {
        SCOPED_TRACE(wrapper);
        ValueRecorder host;
        auto processor = oxn3test::makeProcessorAs(wrapper);
        processor->addListener(&host);
        processor->prepareToPlay(oxn3test::kTestRate, oxn3test::kTestBlock);
        EXPECT_EQ(host.changes, announced);
        EXPECT_TRUE(announced == 0 || (host.values[oxn3::kVolume] == 0.75f && host.values[oxn3::kCutoff] == 0.0f));
        juce::MemoryBlock state;
        processor->getStateInformation(state);
        const int trimsThatMove = announced == 0 ? 3 : 0;
        processor->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
        EXPECT_EQ(host.changes, 2 * announced + trimsThatMove);
        for (int trim : {oxn3::kResoTrim, oxn3::kGateTrim, oxn3::kDetune})
            EXPECT_EQ(host.values[trim], 0.5f) << trim;
        processor->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
        EXPECT_EQ(host.changes, 3 * announced + trimsThatMove);
        processor->removeListener(&host);
    }
}
