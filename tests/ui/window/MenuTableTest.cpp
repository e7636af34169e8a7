#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/window/PatchMenu.h"

using namespace oxn3;

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

struct MenuTable : oxn3test::EditorTest
{
    // Every switch the menu flips, and the current pattern's triplet flag last.
    std::vector<int> switches() const
    {
        const Processor& p = *processor;
        return {p.MidiMode, p.SyncMode, p.midiLearnActive, p.MidiOutput, p.ShowSticker, p.OutputClipping,
                p.TuningMode, synth.activePattern().getTriplet()};
    }
};
} // namespace

TEST_F(MenuTable, EachSwitchItemFlipsExactlyItsOwnSetting)
{
    processor->TuningMode = 1; // in use: the item switches back without a dialog
    // {menu item, index in switches()}
    const std::pair<int, size_t> rows[] = {
        {kMenuMidiMode, 0}, {kMenuSyncMode, 1}, {kMenuMidiLearn, 2}, {kMenuMidiOutput, 3},
        {kMenuSticker, 4},  {kMenuOutputClipping, 5}, {kMenuTuning, 6}, {kMenuTriplet, 7},
    };
    for (const auto& [item, index] : rows)
        for (int time = 0; time < (item == kMenuTuning ? 1 : 2); ++time)
        {
            std::vector<int> expected = switches();
            expected[index] = expected[index] != 0 ? 0 : 1;
            editor->menuItemSelected(item, editor.get());
            EXPECT_EQ(switches(), expected) << "item " << item << ", time " << time;
        }
}
