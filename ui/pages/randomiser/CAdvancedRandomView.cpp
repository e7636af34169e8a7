#include "ui/pages/randomiser/CAdvancedRandomView.h"

#include <cstdio>
#include <iterator>

#include "processor/PluginProcessor.h"
#include "ui/pages/randomiser/AdvancedRandomMapping.h"
#include "ui/framework/PanelRules.h"
#include "ui/window/PluginEditor.h"

namespace
{
enum ControlType
{
    kNoteKnob = 1,
    kSlider = 2,
    kToggle = 3,
    kCaption = 5
};

// Tags double as the MIDI-learn target ids of the settings.
constexpr int kNoteSliderTag = 101; // 101..104: note, gate, slide, accent density
constexpr int kDensitySliders = 4;
constexpr int kRootTag = 105;
constexpr int kScaleKeyTag = 106; // 106..117: degrees C..B
constexpr int kFixedScaleTag = 118;
constexpr int kLowerRangeTag = 119;
constexpr int kUpperRangeTag = 120;
constexpr int kLowerRange2Tag = 121;
constexpr int kUpperRange2Tag = 122;
constexpr int kApplyTag = 123;
constexpr int kNextSeedTag = 124;
constexpr int kPrevSeedTag = 125;
constexpr int kDensityCaptionTag = 126; // 126..129
constexpr int kFirstLearnTag = 101;
constexpr int kLastLearnTag = 124;

struct ControlSpec
{
    int tag, type;
    float x, y, w, h;
    const char* label;
    float value;
    float fontSize, cornerRadius; // 0: the panel's default
};

constexpr ControlSpec kControls[] = {
    {105, kNoteKnob, 420, 50, 50, 50, "Root", 0.0f, 12, 0},
    {101, kSlider, 160, 26, 15, 80, "Note", 0.5f, 0, 0},
    {102, kSlider, 220, 26, 15, 80, "Gate", 0.0f, 0, 0},
    {103, kSlider, 280, 26, 15, 80, "Slide", 1.0f, 0, 0},
    {104, kSlider, 340, 26, 15, 80, "Accent", 0.5f, 0, 0},
    {126, kCaption, 128, 110, 80, 20, "100%", 0.5f, 0, 0},
    {127, kCaption, 188, 110, 80, 20, "100%", 0.0f, 0, 0},
    {128, kCaption, 248, 110, 80, 20, "100%", 1.0f, 0, 0},
    {129, kCaption, 308, 110, 80, 20, "100%", 0.5f, 0, 0},
    // One octave of keys: naturals below, sharps above between them.
    {106, kToggle, 0, 90, 17, 17, "C", 1.0f, 0, 0},
    {108, kToggle, 20, 90, 17, 17, "D", 1.0f, 0, 0},
    {110, kToggle, 40, 90, 17, 17, "E", 1.0f, 0, 0},
    {111, kToggle, 60, 90, 17, 17, "F", 1.0f, 0, 0},
    {113, kToggle, 80, 90, 17, 17, "G", 1.0f, 0, 0},
    {115, kToggle, 100, 90, 17, 17, "A", 1.0f, 0, 0},
    {117, kToggle, 120, 90, 17, 17, "B", 1.0f, 0, 0},
    {107, kToggle, 10, 70, 17, 17, "C#", 1.0f, 0, 0},
    {109, kToggle, 30, 70, 17, 17, "D#", 1.0f, 0, 0},
    {112, kToggle, 70, 70, 17, 17, "F#", 1.0f, 0, 0},
    {114, kToggle, 90, 70, 17, 17, "G#", 1.0f, 0, 0},
    {116, kToggle, 110, 70, 17, 17, "A#", 1.0f, 0, 0},
    {121, kToggle, 10, 30, 17, 17, "-2", 1.0f, 0, 0},
    {119, kToggle, 30, 30, 17, 17, "-1", 1.0f, 0, 0},
    {120, kToggle, 80, 30, 17, 17, "+1", 1.0f, 0, 0},
    {122, kToggle, 100, 30, 17, 17, "+2", 1.0f, 0, 0},
    {118, kToggle, 525, 58, 80, 20, "Fix Scale", 0.0f, 14, 5},
    {123, kToggle, 525, 85, 80, 40, "Apply", 0.0f, 14, 10},
    {124, kToggle, 525, 3, 80, 20, "Next Seed", 0.0f, 14, 5},
    {125, kToggle, 525, 30, 80, 20, "Prev Seed", 0.0f, 14, 5},
};

struct PageCaption
{
    const char* text;
    float x, y, w, h;
};

constexpr PageCaption kCaptions[] = {
    {"SCALE", 35, 0, 80, 20},  {"ROOT", 405, 0, 80, 20},  {"NOTE", 138, 0, 60, 20},
    {"GATE", 198, 0, 60, 20},  {"SLIDE", 258, 0, 60, 20}, {"ACCENT", 318, 0, 60, 20},
};

constexpr float kCaptionFontHeight = 12.0f;
constexpr int kSeedRange = 0x7FFFFFFF; // what rand() gives: 0..RAND_MAX
const juce::Colour kPanelText(220, 230, 255);
constexpr juce::uint8 kPanelTextAlpha = 250;

constexpr int32_t AdvancedRandom_t::*kDensityFields[kDensitySliders] = {
    &AdvancedRandom_t::noteDensity, &AdvancedRandom_t::gateDensity, &AdvancedRandom_t::slideDensity,
    &AdvancedRandom_t::accentDensity};

// Octave-range keys and their settings.
struct RangeKey
{
    int tag;
    int32_t AdvancedRandom_t::*field;
};

constexpr RangeKey kRangeKeys[] = {
    {kLowerRange2Tag, &AdvancedRandom_t::lowerRange2},
    {kLowerRangeTag, &AdvancedRandom_t::lowerRange},
    {kUpperRangeTag, &AdvancedRandom_t::upperRange},
    {kUpperRange2Tag, &AdvancedRandom_t::upperRange2},
};
} // namespace

CAdvancedRandomView::CAdvancedRandomView(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
    addControls();
}

CAdvancedRandomView::~CAdvancedRandomView() = default;

void CAdvancedRandomView::addControls()
{
    for (const ControlSpec& spec : kControls)
    {
        PanelControl* c = addControl(spec.tag, spec.type, spec.x, spec.y, spec.w, spec.h, spec.label, spec.value);
        if (c == nullptr)
            return;
        if (spec.fontSize > 0)
            c->fontSize = spec.fontSize;
        if (spec.cornerRadius > 0)
            c->cornerRadius = spec.cornerRadius;
    }
}

JuceDemoPluginAudioProcessor& CAdvancedRandomView::processor() const
{
    return editor->processor;
}

Vst303Pattern& CAdvancedRandomView::currentPattern() const
{
    return processor().synth->activePattern();
}

void CAdvancedRandomView::mouseDown(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDown(e);
    updateAdvancedRandom();
}

void CAdvancedRandomView::mouseDrag(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDrag(e);
    updateAdvancedRandom();
}

void CAdvancedRandomView::updateAdvancedRandom()
{
    AdvancedRandom_t& s = processor().advancedRandom;
    s.patLength = currentPattern().getLength();
    for (int i = 0; i < kDensitySliders; ++i)
        if (PanelControl* c = getControlWithTag(kNoteSliderTag + i))
            s.*kDensityFields[i] = oxn3::densityFromSlider(c->value);
    for (int degree = 0; degree < AdvancedRandom_t::kScaleDegrees; ++degree)
        if (PanelControl* c = getControlWithTag(kScaleKeyTag + degree))
            s.scale[degree] = oxn3::flagFromControl(c->value);
    if (PanelControl* c = getControlWithTag(kFixedScaleTag))
        s.fixedScale = oxn3::flagFromControl(c->value);
    s.randomizeNote = s.randomizeGate = s.randomizeSlide = s.randomizeAccent = 1;
    if (PanelControl* c = getControlWithTag(kRootTag))
        s.root = oxn3::rootFromKnob(c->value);
    for (const RangeKey& key : kRangeKeys)
        if (PanelControl* c = getControlWithTag(key.tag))
            s.*key.field = static_cast<int32_t>(c->value);

    if (s.apply)
    {
        // The same seed every time: the pattern is a function of the settings.
        processor().randomGenerator.state = static_cast<std::uint32_t>(s.seed);
        currentPattern().AdvancedRandom(&s, &processor().randomGenerator);
    }
}

void CAdvancedRandomView::update()
{
    const AdvancedRandom_t& s = processor().advancedRandom;
    for (int i = 0; i < kDensitySliders; ++i)
    {
        PanelControl* slider = getControlWithTag(kNoteSliderTag + i);
        PanelControl* caption = getControlWithTag(kDensityCaptionTag + i);
        if (slider == nullptr || caption == nullptr)
            continue;
        oxn3::updateValue(*slider, oxn3::sliderFromDensity(s.*kDensityFields[i]));
        std::snprintf(caption->label, sizeof(caption->label), "%d%%", oxn3::densityFromSlider(slider->value));
        caption->dirty = 1;
    }
    for (int degree = 0; degree < AdvancedRandom_t::kScaleDegrees; ++degree)
        if (PanelControl* c = getControlWithTag(kScaleKeyTag + degree))
            oxn3::updateValue(*c, oxn3::controlFromFlag(s.scale[degree]));
    if (PanelControl* c = getControlWithTag(kFixedScaleTag))
        oxn3::updateValue(*c, oxn3::controlFromFlag(s.fixedScale));
    if (PanelControl* c = getControlWithTag(kRootTag))
        oxn3::updateValue(*c, oxn3::knobFromRoot(s.root));
    for (const RangeKey& key : kRangeKeys)
        if (PanelControl* c = getControlWithTag(key.tag))
            oxn3::updateValue(*c, oxn3::controlFromFlag(s.*key.field));
    if (PanelControl* c = getControlWithTag(kApplyTag))
        oxn3::updateValue(*c, oxn3::controlFromFlag(s.apply));
}

void CAdvancedRandomView::onIdle(bool shown)
{
    if (!shown)
        return;
    update();
    ++frameCounter;
    repaint();
    MyCustomDisplay::onIdle(true);
    invalidateRects();
}

void CAdvancedRandomView::buttonClicked(int tag)
{
    AdvancedRandom_t& s = processor().advancedRandom;
    switch (tag)
    {
    case kApplyTag:
        // Switching on keeps the pattern from before the live regeneration; switching off must
        // not replace that copy with the randomised result.
        if (!s.apply)
            editor->storeUndo(*processor().synth, "Randomize Pattern");
        s.apply = s.apply ? 0 : 1;
        break;
    case kNextSeedTag:
        oxn3::pushNextSeed(s, seedHistory, seedSource.nextInt(kSeedRange));
        flashSeedButton(tag);
        break;
    case kPrevSeedTag:
        oxn3::popPreviousSeed(s, seedHistory);
        flashSeedButton(tag);
        break;
    default:
        break;
    }
}

// The seed buttons are momentary: the press's toggle brings them back to 0 while they flash.
void CAdvancedRandomView::flashSeedButton(int tag)
{
    if (PanelControl* c = getControlWithTag(tag))
    {
        oxn3::updateValue(*c, 1.0f);
        c->animation = 1.0f;
    }
}

void CAdvancedRandomView::valueChanged(int tag, float)
{
    processor().touchedParameter = tag;
}

void CAdvancedRandomView::showLearnOverlays()
{
    const bool learning = processor().midiLearnActive != 0;
    for (int tag = kFirstLearnTag; tag <= kLastLearnTag; ++tag)
    {
        PanelControl* c = getControlWithTag(tag);
        if (c == nullptr)
            continue;
        c->showOverlay = learning ? 1 : 0;
        if (!learning)
            continue;
        const int cc = processor().LookupCC(tag);
        const juce::String text = cc >= 0 ? "#" + juce::String(cc) : juce::String("N/A");
        text.copyToUTF8(c->overlayText, sizeof(c->overlayText));
    }
}

void CAdvancedRandomView::paint(juce::Graphics& g)
{
    g.setFont(kCaptionFontHeight * scale);
    g.setColour(kPanelText.withAlpha(kPanelTextAlpha));
    for (const PageCaption& caption : kCaptions)
        drawLabel(g, {caption.x * scale, caption.y * scale, caption.w * scale, caption.h * scale}, caption.text, true);
    showLearnOverlays();
    MyCustomDisplay::paint(g);
}
