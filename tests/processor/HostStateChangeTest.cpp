// The built bundles tell a host that their state changed across the format boundary (VST3:
// setDirty; LV2: state:StateChanged on the notify port), with no editor open, and stay quiet
// after a recall.
#include "HostStateContainers.h"
#include "HostTestHelpers.h"
#include "StateChangeCounter.h"

using namespace oxn3test;

namespace
{
using HostStateChange = BundleTest;

constexpr int kLengthUpId = 230; // the panel's "Steps Increase"

// The state `fresh` with key 60 learned to lengthen the current pattern.
juce::MemoryBlock withLengthKey(oxn3host::Format format, const juce::MemoryBlock& fresh)
{
    const juce::MemoryBlock inner = innerState(format, fresh);
    const auto xml = juce::AudioProcessor::getXmlFromBinary(inner.getData(), static_cast<int>(inner.getSize()));
    if (xml == nullptr)
        return {};
    xml->getChildByName("MidiKeyMap")->setAttribute("key60", kLengthUpId);
    juce::MemoryBlock changed;
    juce::AudioProcessor::copyXmlToBinary(*xml, changed);
    return withInnerState(format, fresh, changed);
}

// Plays blocks at about the pace of real time for `ms`, or until the host has heard of a change.
int playUntilTold(HostedPlugin& host, const StateChangeCounter& counter, double ms)
{
    const double start = juce::Time::getMillisecondCounterHiRes();
    while (counter.count == 0 && juce::Time::getMillisecondCounterHiRes() - start < ms)
    {
        host.block(kHostBlock);
        juce::Thread::sleep(10);
    }
    return counter.count;
}
} // namespace

TEST_P(HostStateChange, AnEditByALearnedKeyIsToldARecallIsNot)
{
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    StateChangeCounter counter(*host.plugin);
    juce::MemoryBlock fresh;
    host.plugin->getStateInformation(fresh);
    const juce::MemoryBlock given = withLengthKey(GetParam(), fresh);
    ASSERT_GT(given.getSize(), 0u);
    host.plugin->setStateInformation(given.getData(), static_cast<int>(given.getSize()));
    EXPECT_EQ(playUntilTold(host, counter, 700.0), 0); // two looks or more

    auto key = midiAt({on(60)}, 0);
    host.block(kHostBlock, key);
    EXPECT_EQ(playUntilTold(host, counter, 3000.0), 1);

    juce::MemoryBlock saved;
    host.plugin->getStateInformation(saved);
    const juce::MemoryBlock inner = innerState(GetParam(), saved);
    const auto xml = juce::AudioProcessor::getXmlFromBinary(inner.getData(), static_cast<int>(inner.getSize()));
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getChildByName("oxn3pattern0")->getIntAttribute("length"), 17);
}

INSTANTIATE_TEST_SUITE_P(BuiltBundles, HostStateChange, kBothBundles, bundleName);
