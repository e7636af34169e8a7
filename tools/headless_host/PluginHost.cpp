#include "PluginHost.h"

namespace oxn3host
{
namespace
{
std::unique_ptr<juce::AudioPluginFormat> makeFormat(Format format)
{
    if (format == Format::vst3)
        return std::make_unique<juce::VST3PluginFormat>();
    return std::make_unique<juce::LV2PluginFormat>();
}

bool useStereoOutput(juce::AudioPluginInstance& plugin)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.outputBuses.add(juce::AudioChannelSet::stereo());
    return plugin.setBusesLayout(layout);
}
} // namespace

LoadResult loadPlugin(Format format, const juce::File& bundle, const juce::String& lv2Uri, double sampleRate,
                      int blockSize)
{
    LoadResult result;
    juce::AudioPluginFormatManager manager;
    manager.addFormat(makeFormat(format).release());
    juce::AudioPluginFormat& pluginFormat = *manager.getFormat(0);

    juce::String identifier = bundle.getFullPathName();
    if (format == Format::lv2)
    {
        // LV2 plug-ins are found by URI among the bundles of a search path.
        pluginFormat.searchPathsForPlugins(juce::FileSearchPath(bundle.getParentDirectory().getFullPathName()), false,
                                           false);
        identifier = lv2Uri;
    }

    juce::OwnedArray<juce::PluginDescription> found;
    pluginFormat.findAllTypesForFile(found, identifier);
    if (found.isEmpty())
    {
        result.error = "no plug-in found in " + identifier;
        return result;
    }

    result.instance = manager.createPluginInstance(*found[0], sampleRate, blockSize, result.error);
    if (result.instance == nullptr)
        return result;

    if (!useStereoOutput(*result.instance))
        result.error = "the plug-in refuses a stereo output";
    result.instance->setRateAndBufferSizeDetails(sampleRate, blockSize);
    result.instance->prepareToPlay(sampleRate, blockSize);
    return result;
}

juce::Optional<juce::AudioPlayHead::PositionInfo> ManualPlayHead::getPosition() const
{
    if (!available)
        return {};
    PositionInfo info;
    info.setPpqPosition(ppq);
    info.setBpm(bpm);
    info.setIsPlaying(playing);
    info.setTimeSignature(TimeSignature{});
    return info;
}

juce::AudioProcessorParameter* findParameter(juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* parameter : plugin.getParameters())
        if (parameter->getName(1024) == name)
            return parameter;
    return nullptr;
}

void renderBlock(juce::AudioPluginInstance& plugin, juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi,
                 int numSamples)
{
    audio.setSize(std::max(2, plugin.getTotalNumOutputChannels()), numSamples, false, false, true);
    audio.clear();
    plugin.processBlock(audio, midi);
}
} // namespace oxn3host
