#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "engine/SwitchBoardCommands.h"
#include "ui/pages/classic/CCustomDisplay.h"

using namespace classicpanel;
using namespace oxn3;

namespace
{
struct ButtonRow
{
    int tag, x, y, w, h;
    bool grown;
};

// The panel's 34 push areas in index order, as designed.
constexpr ButtonRow kButtons[kButtonCount] = {
    {200, 141, 82, 15, 30, true}, {201, 158, 30, 15, 30, true}, {202, 176, 82, 15, 30, true},
    {203, 193, 30, 15, 30, true}, {204, 211, 82, 15, 30, true}, {205, 246, 82, 15, 30, true},
    {206, 263, 30, 15, 30, true}, {207, 281, 82, 15, 30, true}, {208, 298, 30, 15, 30, true},
    {209, 316, 82, 15, 30, true}, {210, 333, 30, 15, 30, true}, {211, 351, 82, 15, 30, true},
    {212, 387, 82, 15, 30, true}, {216, 423, 82, 15, 30, true}, {217, 458, 82, 15, 30, true},
    {218, 493, 82, 15, 30, true}, {219, 529, 82, 15, 30, true}, {215, 501, 30, 30, 15, true},
    {223, 575, 41, 30, 15, true}, {222, 568, 82, 45, 30, true}, {221, 19, 14, 30, 15, true},
    {233, 11, 82, 45, 30, true},  {213, 82, 14, 30, 15, true},  {229, 72, 71, 15, 15, true},
    {230, 107, 71, 15, 15, true}, {214, 82, 41, 30, 15, true},  {231, 423, 15, 15, 30, true},
    {232, 457, 15, 15, 30, true}, {225, 14, 47, 14, 13, false}, {226, 39, 47, 14, 13, false},
    {220, 92, 100, 30, 15, true}, {227, 27, 42, 13, 12, false}, {228, 27, 53, 13, 12, false},
    {224, 575, 14, 30, 15, true},
};

// Lamp centres as designed, in lamp order.
constexpr int kLampCentres[20][2] = {
    {151, 74}, {168, 22}, {186, 74}, {203, 22}, {221, 74}, {256, 74}, {273, 22}, {291, 74}, {308, 22}, {326, 74},
    {343, 22}, {361, 74}, {397, 74}, {433, 74}, {468, 74}, {503, 74}, {539, 74}, {519, 22}, {36, 74},  {84, 107},
};

int indexOfTag(int tag)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].tag == tag)
            return i;
    return -1;
}

juce::Point<int> centreOf(int tag)
{
    const ButtonRow& b = kButtons[indexOfTag(tag)];
    return {b.x + b.w / 2, b.y + b.h / 2};
}

juce::ModifierKeys mods(bool shift, bool right)
{
    return juce::ModifierKeys((shift ? juce::ModifierKeys::shiftModifier : 0) |
                              (right ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier));
}
} // namespace

TEST(ClassicPanelTableRules, EveryPushAreaAnswersFromItsFirstToItsLastPixelAndNotOnePast)
{
    for (float scale : {1.0f, 2.0f})
        for (int i = 0; i < kButtonCount; ++i)
        {
            const ButtonRow& b = kButtons[i];
            const int g = b.grown ? static_cast<int>(8 * scale) : 0;
            const int left = static_cast<int>(b.x * scale) - g, top = static_cast<int>(b.y * scale) - g;
            const int right = left + static_cast<int>(b.w * scale) + 2 * g - 1;
            const int bottom = top + static_cast<int>(b.h * scale) + 2 * g - 1;
            const juce::Rectangle<int> box = buttonHitBox(i, scale);
            EXPECT_EQ(buttonlist[i].tag, b.tag) << i;
            // {point, inside}
            const std::pair<juce::Point<int>, bool> edges[] = {
                {{left, top}, true},         {{right, bottom}, true},     {{left - 1, top}, false},
                {{left, top - 1}, false},    {{right + 1, bottom}, false}, {{right, bottom + 1}, false},
            };
            for (const auto& [p, inside] : edges)
                EXPECT_EQ(box.contains(p), inside) << "tag " << b.tag << " at " << p.toString() << " scale " << scale;
        }
}

TEST(ClassicPanelTableRules, ReadOutDragZonesEndOnTheirLastDesignPixel)
{
    // {point, zone or not}: the length read-out 92..103 x 74..84, the step read-out 575..603 x 59..72
    const std::tuple<int, int, int> rows[] = {
        {92, 74, kLengthZone},  {103, 84, kLengthZone}, {104, 80, -1}, {98, 85, -1},
        {575, 59, kStepZone},   {603, 72, kStepZone},   {604, 65, -1}, {590, 73, -1}, {590, 58, -1},
    };
    for (float scale : {1.0f, 2.0f})
        for (const auto& [x, y, zone] : rows)
        {
            const int at = pressTarget({static_cast<int>(x * scale), static_cast<int>(y * scale)}, scale);
            if (zone >= 0)
            {
                EXPECT_EQ(at, zone) << x << "," << y << " scale " << scale;
            }
            else
            {
                EXPECT_TRUE(at != kLengthZone && at != kStepZone) << x << "," << y << " scale " << scale;
            }
        }
}

TEST(ClassicPanelTableRules, PitchLampsPerOctaveBand)
{
    const juce::Colour w = juce::Colours::white, r = juce::Colour(255, 0, 0), y = juce::Colour(255, 255, 0);
    // {pitch, lit key lamp (-1 none), its colour, lamp 12 lit, lamp 12 colour, drawn}
    const std::tuple<int, int, juce::Colour, bool, juce::Colour, bool> rows[] = {
        {-1, -1, w, false, w, true}, {0, 0, w, false, w, true},   {11, 11, w, false, w, true},
        {12, 0, r, true, w, true},   {23, 11, r, false, w, true}, {24, 0, y, true, r, true},
        {35, 11, y, false, r, true}, {36, -1, y, true, y, true},  {47, 11, y, false, y, true},
        {48, -1, w, false, w, false},
    };
    for (const auto& [pitch, key, colour, highLit, highColour, drawn] : rows)
    {
        const auto lamps = pitchLamps(pitch);
        for (int k = 0; k < 12; ++k)
        {
            EXPECT_EQ(lamps[static_cast<size_t>(k)].lit, k == key) << pitch << " lamp " << k;
            EXPECT_EQ(lamps[static_cast<size_t>(k)].drawn, drawn) << pitch << " lamp " << k;
        }
        if (key >= 0)
        {
            EXPECT_EQ(lamps[static_cast<size_t>(key)].colour, colour) << pitch;
        }
        EXPECT_EQ(lamps[12].lit, highLit) << pitch;
        if (drawn)
        {
            EXPECT_EQ(lamps[12].colour, highColour) << pitch;
        }
    }
}

class ClassicPanelTable : public oxn3test::EditorTest
{
  protected:
    CCustomDisplay panel{nullptr, editor.get()};

    ClassicPanelTable()
    {
        panel.setSynth(&synth);
        panel.setBounds(0, 0, 622, 133);
        panel.chaseFrame = 100;
    }
    Vst303Pattern& current() { return synth.activePattern(); }

    void reset()
    {
        synth.setRunStop(0);
        synth.running = synth.stepRecord = synth.autoAdvance = synth.gate = 0;
        synth.currentPattern = 0;
        current() = oxn3test::bassLine();
        synth.editStep = 5;
        processor->touchedParameter = -7;
    }
    void clickAt(juce::Point<int> p, bool shift, bool right)
    {
        const juce::Point<float> at = p.toFloat();
        panel.mouseDown(oxn3test::mouseAt(panel, at, at, 1, mods(shift, right)));
        panel.mouseUp(oxn3test::mouseAt(panel, at, at, 1, mods(shift, right)));
    }
};

TEST_F(ClassicPanelTable, EachButtonRunsExactlyItsCommandAndNamesItsLearnTarget)
{
    // {tag, shift, right button, engine command, learn target (-7: left as it was)}
    std::vector<std::tuple<int, bool, bool, int, int>> rows;
    for (int tag = 200; tag <= 212; ++tag)
        rows.push_back({tag, false, false, tag - 200, tag});
    const std::tuple<int, bool, bool, int, int> more[] = {
        {215, false, false, kCommandToggleGate, 215},   {216, false, false, kCommandToggleDown, 216},
        {216, true, false, kCommandCursorAdvance, 234}, {216, false, true, kCommandCursorAdvance, 234},
        {217, false, false, kCommandToggleUp, 217},     {217, true, false, kCommandInsertTie, 236},
        {217, false, true, kCommandInsertTie, 236},     {218, false, false, kCommandToggleAccent, 218},
        {218, true, false, kCommandInsertRest, 235},    {218, false, true, kCommandInsertRest, 235},
        {219, false, false, kCommandToggleSlide, 219},  {219, true, false, kCommandToggleSlide, 219},
        {220, false, false, kCommandAutoAdvance, 220},  {221, false, false, kCommandClear, 221},
        {222, false, false, kCommandCursorForward, 222}, {223, false, false, kCommandCursorBack, 223},
        {225, false, false, 44, 225}, {226, false, false, 45, 226}, {227, false, false, 46, 227},
        {228, false, false, 47, 228}, {229, false, false, kCommandLengthDown, 229},
        {230, false, false, kCommandLengthUp, 230}, {233, false, false, kCommandRunStop, -7},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    for (const auto& [tag, shift, right, command, learn] : rows)
    {
        reset();
        clickAt(centreOf(tag), shift, right);
        const Vst303Pattern clicked = current();
        const int clickedStep = synth.editStep, clickedRun = synth.running, clickedAdvance = synth.autoAdvance;
        EXPECT_EQ(processor->touchedParameter, learn) << tag << " shift " << shift << " right " << right;
        reset();
        synth.SwitchBoard(command);
        EXPECT_TRUE(oxn3test::samePattern(clicked, current())) << tag << " shift " << shift << " right " << right;
        EXPECT_EQ(clickedStep * 100 + clickedRun * 10 + clickedAdvance,
                  synth.editStep * 100 + synth.running * 10 + synth.autoAdvance)
            << tag << " shift " << shift << " right " << right;
    }
    reset();
}

TEST_F(ClassicPanelTable, LampsLightAtTheirOwnCentres)
{
    // {lamp, what lights it alone}
    enum Light { kPitch, kFlag, kRunning, kAdvance };
    std::vector<std::tuple<int, Light, int>> rows;
    for (int k = 0; k < 12; ++k)
        rows.push_back({k, kPitch, k});
    const std::tuple<int, Light, int> more[] = {
        {13, kFlag, step_t::kDown}, {14, kFlag, step_t::kUp}, {15, kFlag, step_t::kAccent},
        {16, kFlag, step_t::kSlide}, {17, kFlag, step_t::kGate}, {18, kRunning, 0}, {19, kAdvance, 0},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    for (const auto& [lamp, light, value] : rows)
    {
        reset();
        synth.editStep = 0;
        current().steps[0] = {static_cast<int8_t>(light == kPitch ? value : -1),
                              static_cast<uint8_t>(light == kFlag ? value : 0)};
        synth.running = light == kRunning;
        synth.autoAdvance = light == kAdvance;
        const juce::Image image = oxn3test::paintOf(panel, juce::Colours::black);
        for (int other = 0; other < 20; ++other)
        {
            // Lamps are drawn 2.5 design units left of their centres.
            const juce::Point<int> c(kLampCentres[other][0] - 3, kLampCentres[other][1]);
            EXPECT_EQ(image.getPixelAt(c.x, c.y).getBrightness() > 0.8f, other == lamp) << lamp << " at lamp " << other;
        }
    }
    synth.running = 0;
}

TEST_F(ClassicPanelTable, StepRecordNextTiesFromThePreviousStepAndRestsKeepTheHighBits)
{
    // {cursor, key held, step the cursor's step copies (-1: a rest)}
    const std::tuple<int, int, int> rows[] = {{0, 1, 15}, {1, 1, 0}, {7, 1, 6}, {1, 0, -1}};
    for (const auto& [cursor, held, source] : rows)
    {
        reset();
        synth.stepRecord = 1;
        for (int s = 0; s < 16; ++s)
            current().steps[s] = {static_cast<int8_t>(s + 1), static_cast<uint8_t>(0xFF & ~step_t::kSlide)};
        synth.editStep = cursor;
        synth.gate = held;
        clickAt(centreOf(222), false, false);
        const step_t& s = current().steps[cursor];
        if (source >= 0)
        {
            EXPECT_EQ(s.pitch, source + 1) << cursor;
            EXPECT_TRUE(current().steps[source].has(step_t::kSlide)) << cursor;
        }
        else
        {
            EXPECT_EQ(s.pitch * 1000 + s.flags, step_t::kTie | step_t::kSpare) << cursor;
        }
    }
    reset();
}

TEST_F(ClassicPanelTable, LengthReadOutDragNamesTheLengthAsLearnTarget)
{
    reset();
    const juce::Point<float> at(95, 80);
    panel.mouseDown(oxn3test::mouseAt(panel, at, at));
    panel.mouseDrag(oxn3test::mouseAt(panel, {95, 72}, at));
    panel.mouseUp(oxn3test::mouseAt(panel, {95, 72}, at));
    EXPECT_EQ(current().getLength() * 1000 + processor->touchedParameter, 18 * 1000 + 100);
}

TEST(ClassicPanelTableRules, DroppedFilesGoByTheirEndingInAnyCase)
{
    // {path, audio for the analyser, pattern file}
    const std::tuple<const char*, bool, bool> rows[] = {
        {"/a/loop.wav", true, false}, {"/a/LOOP.WAV", true, false}, {"/a/loop.aif", true, false},
        {"/a/loop.AIF", true, false}, {"/a/loop.mp3", true, false}, {"/a/line.pat", false, true},
        {"/a/line.PAT", false, true}, {"/a/loop.aiff", false, false}, {"/a/song.rbs", false, false},
    };
    for (const auto& [path, audio, pattern] : rows)
    {
        EXPECT_EQ(isAudioDrop(path), audio) << path;
        EXPECT_EQ(isPatternDrop(path), pattern) << path;
    }
}

TEST_F(ClassicPanelTable, NoteKeysPreviewTheStepTheyWrote)
{
    // {auto-advance, flags of the cursor's step, flags of the next step, previewed note}
    const std::tuple<int, int, int, int> rows[] = {
        {0, step_t::kDown, step_t::kUp, 2 + 36 - 12},
        {1, step_t::kDown, step_t::kUp, 2 + 36 - 12},
        {1, step_t::kUp, 0, 2 + 36 + 12},
    };
    for (const auto& [advance, cursorFlags, nextFlags, note] : rows)
    {
        reset();
        synth.autoAdvance = advance;
        synth.editStep = 2;
        current().steps[2].flags = static_cast<uint8_t>(cursorFlags);
        current().steps[3].flags = static_cast<uint8_t>(nextFlags);
        const juce::Point<float> at = centreOf(202).toFloat();
        panel.mouseDown(oxn3test::mouseAt(panel, at, at));
        EXPECT_EQ(panel.previewNote, note) << advance;
        EXPECT_EQ(synth.editStep, 2 + advance) << advance;
        panel.mouseUp(oxn3test::mouseAt(panel, at, at));
    }
}
