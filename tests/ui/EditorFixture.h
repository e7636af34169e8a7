#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "engine/Synth303.h"
#include "patterns/Vst303PatternMetaData.h"
#include "tests/patterns/ScratchFolder.h"
#include "ui/PluginEditor.h"

// A processor with its editor, both without a window, and a scratch folder for files.
class EditorFixture : public ::testing::Test
{
  protected:
    ScratchFolder folder;
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor = oxn3test::makeProcessor();
    Synth303& synth = *processor->synth;
    std::unique_ptr<JuceDemoPluginAudioProcessorEditor> editor =
        std::make_unique<JuceDemoPluginAudioProcessorEditor>(*processor);

    // A ".pat" file of a pattern of `length` steps with pitch `pitch`, carrying a cutoff knob line.
    std::string writePattern(const std::string& name, int length, int pitch, float cutoff = -1.0f)
    {
        Vst303Pattern p;
        p.setLength(length);
        for (step_t& s : p.steps)
            s.pitch = static_cast<int8_t>(pitch), s.flags = step_t::kGate;
        Vst303PatternMetaData meta;
        if (cutoff >= 0)
            meta.setValue("Cutoff:", cutoff);
        p.Save(folder.path(name).c_str(), nullptr, &meta);
        return folder.path(name);
    }
};
