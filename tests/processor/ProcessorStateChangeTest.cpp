// The host hears when the saved state changes other than through a parameter, once per look,
// and not for recalls, parameters, unsaved fields or patterns that MIDI notes pick.
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "StateChangeCounter.h"
#include "processor/HostStateFingerprint.h"
#include "processor/HostStateWatcher.h"

using namespace oxn3test;
using Processor = JuceDemoPluginAudioProcessor;

namespace
{
juce::MemoryBlock savedState(Processor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation(block);
    return block;
}

void recall(Processor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

struct StateChanges : ::testing::Test
{
    std::unique_ptr<Processor> processor = makeProcessor();
    StateChangeCounter counter{*processor};

    // What one look tells the host.
    int look()
    {
        const int before = counter.count;
        processor->stateWatcher->check();
        return counter.count - before;
    }
};

struct Edit
{
    const char* name;
    std::function<void(Processor&)> apply;
};
} // namespace

TEST_F(StateChanges, EachSavedEditIsToldOnceAndNothingElse)
{
    // One of each kind; every saved value's own road is in the fingerprint test below.
    const Edit told[] = {
        {"step", [](Processor& p) { p.synth->patterns[127].steps[63].set(step_t::kAccent, true); }},
        {"option", [](Processor& p) { p.VCOMode = 0; }},
        {"editor size", [](Processor& p) { p.uiWidth += 10; }},
        {"key map", [](Processor& p) { p.midiKeyMap[60] = 221; }},
        {"current pattern", [](Processor& p) { p.synth->currentPattern = 7; }},
    };
    const Edit quiet[] = {
        {"parameter", [](Processor& p) { p.setParameter(oxn3::kCutoff, 0.9f); }},
        {"trim", [](Processor& p) { p.setParameter(oxn3::kResoTrim, 0.1f); }},
        {"spare flag bits", [](Processor& p) { p.synth->patterns[2].steps[1].set(step_t::kSpare, true); }},
        {"unsaved pattern", [](Processor& p) { p.synth->patterns[130].setLength(3); }},
        {"unsaved scale bit", [](Processor& p) { p.advancedRandom.scale[4] = 3; }},
        {"learn switch", [](Processor& p) { p.midiLearnActive = 1; }},
    };
    EXPECT_EQ(look(), 0);
    for (const Edit& edit : told)
    {
        const juce::MemoryBlock before = savedState(*processor);
        edit.apply(*processor);
        EXPECT_TRUE(savedState(*processor) != before) << edit.name;
        EXPECT_EQ(look(), 1) << edit.name;
        EXPECT_EQ(look(), 0) << edit.name;
    }
    for (const Edit& edit : quiet)
    {
        edit.apply(*processor);
        EXPECT_EQ(look(), 0) << edit.name;
    }
}

namespace
{
// The saved root's attributes and, when given, one child: a recall reads exactly these.
juce::MemoryBlock compactState(const juce::XmlElement& saved, const juce::XmlElement* child)
{
    juce::XmlElement root(saved.getTagName());
    for (int i = 0; i < saved.getNumAttributes(); ++i)
        root.setAttribute(saved.getAttributeName(i), saved.getAttributeValue(i));
    if (child != nullptr)
        root.addChildElement(new juce::XmlElement(*child));
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(root, block);
    return block;
}

// Another value that a recall keeps apart from `value` ("scale" 8190 loses B, not the unsaved bit 0).
juce::String otherValue(const juce::String& value)
{
    if (value.containsChar('.'))
        return juce::String(value.getDoubleValue() - 1.0);
    const int n = value.getIntValue();
    return juce::String(n == 0 ? 1 : n - 1);
}

bool isParameterOrCurrentPattern(const juce::String& attribute)
{
    for (const oxn3::ParameterInfo& info : oxn3::kParameters)
        if (info.stateAttribute != nullptr && attribute == info.stateAttribute)
            return true;
    return juce::StringArray{"ResoTrim", "VCFTrim", "GateTrim", "TuningTrim", "CurrentPattern"}.contains(attribute);
}
} // namespace

// Every value the writer saves, but the parameters and the current pattern, moves the fingerprint:
// each changed on its own in a compact state and recalled.
TEST_F(StateChanges, EverySavedValueMovesTheFingerprint)
{
    const juce::MemoryBlock saved = savedState(*processor);
    const auto root = juce::AudioProcessor::getXmlFromBinary(saved.getData(), static_cast<int>(saved.getSize()));
    ASSERT_NE(root, nullptr);

    int checked = 0;
    // Whether another value of attribute `name` of `holder`, in the state `build` makes, moves it.
    const auto moves = [&](juce::XmlElement& holder, const juce::String& name,
                           const std::function<juce::MemoryBlock()>& build) {
        const juce::String value = holder.getStringAttribute(name);
        recall(*processor, build());
        const std::uint64_t before = oxn3::storedStateFingerprint(*processor);
        holder.setAttribute(name, otherValue(value));
        recall(*processor, build());
        holder.setAttribute(name, value);
        ++checked;
        return oxn3::storedStateFingerprint(*processor) != before;
    };

    juce::XmlElement bare(*root);
    bare.deleteAllChildElements();
    for (int i = 0; i < root->getNumAttributes(); ++i)
    {
        const juce::String name = root->getAttributeName(i);
        EXPECT_EQ(moves(bare, name, [&] { return compactState(bare, nullptr); }), !isParameterOrCurrentPattern(name))
            << name;
    }

    for (const juce::XmlElement* child : root->getChildIterator())
    {
        if (child->getTagName().startsWith("oxn3pattern") && child->getTagName() != "oxn3pattern127")
            continue; // the last pattern stands for all
        juce::XmlElement changed(*child);
        const auto build = [&] { return compactState(*root, &changed); };
        for (int i = 0; i < changed.getNumAttributes(); ++i)
            EXPECT_TRUE(moves(changed, changed.getAttributeName(i), build)) << changed.getAttributeName(i);
        juce::XmlElement* step = changed.getChildByName("step63");
        for (int i = 0; step != nullptr && i < step->getNumAttributes(); ++i)
            EXPECT_TRUE(moves(*step, step->getAttributeName(i), build)) << "step63 " << step->getAttributeName(i);
    }
    EXPECT_GE(checked, 34 + 1 + 6 + 3 * 128 + 19); // root, length, last step, maps and tuning, randomiser
}

TEST_F(StateChanges, RecallsAreNotToldButAnEditBeforeOneStays)
{
    auto other = makeProcessor();
    other->synth->patterns[9].setLength(5);
    other->VCOMode = 0;
    other->midiKeyMap[20] = 213;
    other->synth->currentPattern = 9;
    recall(*processor, savedState(*other));
    EXPECT_EQ(processor->synth->patterns[9].getLength(), 5);
    EXPECT_EQ(look(), 0);

    const char garbage[] = "not a state";
    processor->setStateInformation(garbage, sizeof garbage);
    EXPECT_EQ(look(), 0);
    processor->synth->patterns[1].setLength(3);
    processor->setStateInformation(garbage, sizeof garbage);
    EXPECT_EQ(look(), 1);
}

TEST_F(StateChanges, PatternsPickedByNotesArePlayingNotEditing)
{
    send(*processor, on(5));
    send(*processor, off(5)); // a short note, over before the look
    EXPECT_EQ(look(), 0);
    send(*processor, on(9));
    EXPECT_EQ(look(), 0);
    send(*processor, on(12));
    EXPECT_EQ(look(), 0);
    send(*processor, off(12)); // back to the key still held
    EXPECT_EQ(processor->synth->currentPattern, 9);
    EXPECT_EQ(look(), 0);
    send(*processor, off(9));
    processor->synth->currentPattern = 40; // the window's choice
    EXPECT_EQ(look(), 1);

    processor->MidiMode = oxn3::kNoteMode;
    EXPECT_EQ(look(), 1);
    send(*processor, on(50));
    processor->synth->currentPattern = 41; // notes pick no pattern in note mode
    EXPECT_EQ(look(), 1);
}

// The watcher's own timer: some looks while a drag lasts, never more than its rate, none after.
TEST_F(StateChanges, ADragIsToldAFewTimesASecond)
{
    const auto now = [] { return juce::Time::getMillisecondCounterHiRes(); };
    const double start = now();
    for (int length = 1; now() - start < 1000.0; length = length % 64 + 1)
    {
        processor->synth->patterns[0].setLength(length);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    }
    const int duringDrag = counter.count;
    EXPECT_GE(duringDrag, 1);
    EXPECT_LE(duringDrag, oxn3::HostStateWatcher::kChecksPerSecond + 1);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(600);
    EXPECT_LE(counter.count - duringDrag, 1);
}

// Hosts may recall on a thread of their own while the message thread looks.
TEST_F(StateChanges, ARecallOnAnotherThreadIsNotTold)
{
    const juce::MemoryBlock fresh = savedState(*processor);
    auto other = makeProcessor();
    for (Vst303Pattern& pattern : other->synth->patterns)
        pattern.setLength(7);
    const juce::MemoryBlock edited = savedState(*other);

    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int i = 0; i < 16; ++i)
            recall(*processor, i % 2 == 0 ? edited : fresh);
        done = true;
    });
    int looks = 0;
    for (; !done; ++looks)
        processor->stateWatcher->check();
    host.join();
    processor->stateWatcher->check();
    EXPECT_GT(looks, 16);
    EXPECT_EQ(counter.count, 0);
}
