#include "ui/pages/preferences/CPreferencesView.h"

#include <algorithm>
#include <iterator>

#include "processor/PluginProcessor.h"
#include "ui/framework/PanelRules.h"
#include "ui/window/PluginEditor.h"

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

enum ControlType
{
    kToggleBox = 4,
    kCentredCaption = 5,
    kLeftCaption = 6,
    kKnob = 7,
    kSwitch = 8
};

constexpr int kVcoModeTag = 99;
constexpr int kMidiModeTag = 104;
constexpr int kImprovedEmulationTag = 106;
constexpr float kOptionCaptionFont = 14.0f;

struct ControlSpec
{
    int tag, type;
    float x, y, w, h;
    const char* label;
};

constexpr ControlSpec kControls[] = {
    {99, kSwitch, 5, 8, 32, 12, "VCO Mode"},
    {100, kToggleBox, 25, 24, 8, 8, "Vibrato"},
    {101, kToggleBox, 25, 40, 8, 8, "VCA Clicks"},
    {102, kToggleBox, 25, 56, 8, 8, "VCA Noise"},
    {103, kToggleBox, 25, 72, 8, 8, "Host Sync"},
    {104, kToggleBox, 25, 88, 8, 8, "Midi Mode"},
    {105, kToggleBox, 25, 104, 8, 8, "VCO Phase Reset"},
    {106, kToggleBox, 25, 120, 8, 8, "Improved Emulation"},
    // Captions carry their box's tag, so a click on the words acts like one on the box.
    {99, kLeftCaption, 40, 5, 100, 16, "VCO Mode"},
    {100, kLeftCaption, 40, 19, 100, 16, "Vibrato"},
    {101, kLeftCaption, 40, 35, 100, 16, "VCA Clicks"},
    {102, kLeftCaption, 40, 51, 100, 16, "VCA Noise"},
    {103, kLeftCaption, 40, 67, 100, 16, "Host Sync"},
    {104, kLeftCaption, 40, 83, 100, 16, "Note Mode"},
    {105, kLeftCaption, 40, 99, 100, 16, "VCO Phase Reset"},
    {106, kLeftCaption, 40, 115, 100, 16, "Improved Emulation"},
    {200, kKnob, 150, 24, 32, 32, "Reso Trim"},
    {201, kCentredCaption, 134, -4, 64, 32, "RESO TRIM"},
    {202, kKnob, 150, 90, 32, 32, "Gate Trim"},
    {203, kCentredCaption, 134, 62, 64, 32, "GATE TRIM"},
    {204, kKnob, 517, 24, 32, 32, "Tuning Trim"},
    {205, kCentredCaption, 501, -4, 64, 32, "DETUNE"},
    {206, kKnob, 517, 90, 32, 32, "Bass"},
    {207, kCentredCaption, 501, 62, 64, 32, "BASS"},
    {212, kKnob, 570, 24, 32, 32, "VCF TRIM"},
    {213, kCentredCaption, 554, -4, 64, 32, "VCF TRIM"},
    {210, kKnob, 570, 90, 32, 32, "Hipass"},
    {211, kCentredCaption, 554, 62, 64, 32, "HIPASS"},
};

constexpr int kFirstOptionTag = 100;

int Processor::*optionOfTag(int tag)
{
    static int Processor::*const table[] = {&Processor::VCOVibrato, &Processor::VCAClicks,
                                            &Processor::VCANoise,   &Processor::SyncMode,
                                            &Processor::MidiMode,   &Processor::VCOPhaseReset,
                                            &Processor::ImprovedEmulation};
    const int i = tag - kFirstOptionTag;
    return (i >= 0 && i < static_cast<int>(std::size(table))) ? table[i] : nullptr;
}

struct Trim
{
    int tag;
    int parameter;
    const char* prefix;
};

constexpr Trim kTrims[] = {
    {200, 13, "Reso Trim: "}, {202, 14, "Gate Trim: "}, {204, 15, "Detune Trim: "},
    {206, 16, "Bass: "},      {212, 17, "VCF Trim: "},  {210, 9, "Hipass: "},
};
constexpr int kTrimStatusTicks = 10;

// Knobs and captions that only the improved engine hears.
constexpr int kImprovedOnlyTags[] = {206, 207, 212, 213};

constexpr float kSpinDecay = 0.99f;
constexpr float kSpinPerPixel = 0.001f;
constexpr float kSpinRoll = 0.1f;
constexpr float kBoxRepaintH = 119; // two pixels below the clip, as the box has always repainted
constexpr float kGridInset = 3;
constexpr int kGridDivisions = 8;
constexpr float kPageFontHeight = 16.0f;
// The page's typeface: the wide sans-serif the project installs on every machine.
const char* const kPageTypeface = "DejaVu Sans";
} // namespace

juce::String oxn3::trimStatusText(const char* prefix, float value)
{
    return juce::String(prefix) + juce::String(static_cast<int>(value * 100.0f)) + "%";
}

void oxn3::spinFromDrag(int dragX, int dragY, float spin[3])
{
    spin[0] = static_cast<float>(dragY) * kSpinPerPixel;
    spin[1] = static_cast<float>(dragX) * kSpinPerPixel;
    spin[2] = (spin[0] + spin[1]) * kSpinRoll;
}

juce::Rectangle<float> oxn3::preferencesGrid(float s)
{
    return {CPreferencesView::kBoxX * s + kGridInset, CPreferencesView::kBoxY * s + kGridInset,
            std::max(0.0f, CPreferencesView::kBoxW * s - 2 * kGridInset),
            std::max(0.0f, CPreferencesView::kBoxH * s - 2 * kGridInset)};
}

CPreferencesView::CPreferencesView(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
    setRepaintsOnMouseActivity(false);
    addControls();
}

CPreferencesView::~CPreferencesView() = default;

void CPreferencesView::addControls()
{
    for (const ControlSpec& spec : kControls)
    {
        PanelControl* c = addControl(spec.tag, spec.type, spec.x, spec.y, spec.w, spec.h, spec.label, 0.0f);
        if (c != nullptr && spec.type == kLeftCaption)
            c->fontSize = kOptionCaptionFont;
    }
}

Processor& CPreferencesView::processor() const
{
    return editor->processor;
}

void CPreferencesView::buttonClicked(int tag)
{
    int Processor::*option = optionOfTag(tag);
    if (option == nullptr)
        return;
    Processor& p = processor();
    // Any value but 0 counts as on, so a damaged or foreign value still switches off.
    const int was = p.*option;
    p.*option = was != 0 ? 0 : 1;

    if (tag == kMidiModeTag && was == oxn3::kPatternMode)
    {
        // Note mode takes the keys from the sequencer: stop it now, not at the next key.
        Synth303& engine = *p.synth;
        engine.running = 0;
        engine.keyHeld = 0;
        engine.gate = 0;
        engine.slideActive = 0;
        engine.runRequest = 0;
    }
    else if (tag == kImprovedEmulationTag)
    {
        updateView();
        repaint();
    }
}

void CPreferencesView::valueChanged(int tag, float value)
{
    if (tag == kVcoModeTag)
    {
        processor().VCOMode = static_cast<int>(value);
        return;
    }
    for (const Trim& trim : kTrims)
    {
        if (trim.tag != tag)
            continue;
        // The host parameter's own road: the host hears it, MIDI learn and the panel see it.
        processor().setParameterFromWindow(trim.parameter, value);
        editor->setPatchDisplayText(oxn3::trimStatusText(trim.prefix, value), kTrimStatusTicks);
        return;
    }
}

void CPreferencesView::updateView()
{
    Processor& p = processor();
    for (int tag : kImprovedOnlyTags)
        for (int i = 0; i < controlCount; ++i)
            if (controls[i].tag == tag)
                controls[i].enabled = p.ImprovedEmulation != 0 ? 1 : 0;

    auto store = [this](int tag, float v) {
        if (PanelControl* c = getControlWithTag(tag))
            oxn3::updateValue(*c, v);
    };
    store(kVcoModeTag, static_cast<float>(p.VCOMode));
    for (int tag = kFirstOptionTag; tag <= kImprovedEmulationTag; ++tag)
        store(tag, static_cast<float>(p.*optionOfTag(tag)));
    // The trims as the engine has them: a recall or a configuration reset sets the fields.
    store(200, static_cast<float>(p.ResoTrim));
    store(202, static_cast<float>(p.GateTrim));
    store(204, static_cast<float>(p.TuningTrim));
    store(206, p.getParameter(16));
    store(210, p.getParameter(9));
    store(212, static_cast<float>(p.VCFTrim));
}

void CPreferencesView::onIdle(bool tick)
{
    updateView();
    repaint(static_cast<int>(kBoxX * scale), static_cast<int>(kBoxY * scale), static_cast<int>(kBoxW * scale),
            static_cast<int>(kBoxRepaintH * scale));
    for (float& spin : cubeSpin)
        spin *= kSpinDecay;
    MyCustomDisplay::onIdle(tick);
    invalidateRects();
}

void CPreferencesView::mouseDrag(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDrag(e);
    oxn3::spinFromDrag(e.getDistanceFromDragStartX(), e.getDistanceFromDragStartY(), cubeSpin);
}

void CPreferencesView::paintGrid(juce::Graphics& g, juce::Rectangle<float> grid)
{
    g.drawRect(grid, LINE_THICKNESS);
    for (int k = 1; k < kGridDivisions; ++k)
    {
        const float y = grid.getY() + static_cast<float>(k) * grid.getHeight() / kGridDivisions;
        const float x = grid.getX() + static_cast<float>(k) * grid.getWidth() / kGridDivisions;
        g.drawLine(grid.getX(), y, grid.getRight(), y, LINE_THICKNESS);
        g.drawLine(x, grid.getY(), x, grid.getBottom(), LINE_THICKNESS);
    }
}

void CPreferencesView::paint(juce::Graphics& g)
{
    const float s = scale;
    g.setColour(juce::Colour::fromRGBA(220, 230, 255, 250));
    g.setFont(kPageFontHeight * s);
    g.setFont(juce::Font(kPageTypeface, kPageFontHeight, juce::Font::plain));

    g.saveState();
    g.reduceClipRegion(juce::Rectangle<float>(kBoxX * s, kBoxY * s, kBoxW * s, kBoxH * s).getSmallestIntegerContainer());
    g.setColour(juce::Colour::fromRGBA(154, 161, 178, 150));
    const juce::Rectangle<float> grid = oxn3::preferencesGrid(s);
    paintGrid(g, grid);
    g.setColour(juce::Colour::fromRGBA(220, 230, 255, 250));
    drawCube(grid.getCentreX(), grid.getCentreY(), g);
    g.restoreState();

    MyCustomDisplay::paint(g);
}
