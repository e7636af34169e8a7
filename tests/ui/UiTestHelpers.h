#pragma once
// Shared by the editor tests: a processor with its editor and no window, pictures painted into
// images, PNG snapshots for people to look at, and mouse events without a window.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "ProcessorTestHelpers.h"
#include "tests/engine/VoiceTestHelpers.h"
#include "patterns/Vst303PatternMetaData.h"
#include "tests/patterns/ScratchFolder.h"
#include "ui/widgets/CPatchDisplay.h"
#include "ui/window/PluginEditor.h"
#include "ui/framework/ValueChangedListener.h"

namespace oxn3test
{
using Editor = JuceDemoPluginAudioProcessorEditor;

// A mouse event at `at` for a press made at `down`, in component pixels.
inline juce::MouseEvent mouseAt(juce::Component& c, juce::Point<float> at, juce::Point<float> down, int clicks = 1,
                                juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    const juce::Time now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, mods,
                            juce::MouseInputSource::defaultPressure, 0, 0, 0, 0, &c, &c, now, down, now, clicks,
                            at != down);
}

inline juce::MouseEvent mouseAt(juce::Component& c, int x, int y, int clicks = 1,
                                juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    const juce::Point<float> at(static_cast<float>(x), static_cast<float>(y));
    return mouseAt(c, at, at, clicks, mods);
}

// With `ownConfigFolder` skins and "Gui.ini" live in the scratch folder and the editor waits for open().
struct EditorRig
{
    ScratchFolder folder;
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor = makeProcessor();
    Synth303& synth = *processor->synth;
    std::unique_ptr<Editor> editor;

    explicit EditorRig(bool ownConfigFolder = false)
    {
        if (ownConfigFolder)
            std::snprintf(processor->configFolder, sizeof(processor->configFolder), "%s", folder.path("").c_str());
        else
            open();
    }
    Editor& open()
    {
        editor.reset();
        editor = std::make_unique<Editor>(*processor);
        return *editor;
    }
    juce::File file(const std::string& name) const { return juce::File(folder.path(name)); }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            editor->timerCallback();
    }
    juce::String status() const { return editor->patchDisplay->text; }

    // A ".pat" file of `length` gated steps of `pitch`, with a cutoff knob line when `cutoff` >= 0.
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

// Counts the repaints that reach a component, without a window; the component owns it.
struct RepaintCounter : juce::CachedComponentImage
{
    int count = 0;
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++count, true; }
    bool invalidate(const juce::Rectangle<int>&) override { return ++count, true; }
    void releaseResources() override {}
};

// Values a widget reports for `tag`, and -1 for any other tag.
struct Recorder : ValueChangedListener
{
    int tag;
    std::vector<float> seen;
    explicit Recorder(int t) : tag(t) {}
    void valueChanged(int t, float v) override { seen.push_back(t == tag ? v : -1); }
};

struct EditorTest : ::testing::Test, EditorRig
{
};

// A page of the editor at `scale`, `height` design pixels high, with clicks in design coordinates.
template <typename Page>
struct PageRig : EditorRig
{
    Page page{nullptr, editor.get()};

    explicit PageRig(float scale = 1.0f, int height = 133) { place(scale, height); }
    void place(float scale, int height = 133)
    {
        page.setScale(scale);
        page.setBounds(0, 0, static_cast<int>(622 * scale), static_cast<int>(height * scale));
    }
    void clickAt(float x, float y)
    {
        const juce::Point<float> at(float(int(x * page.scale)), float(int(y * page.scale)));
        page.mouseDown(mouseAt(page, at, at));
        page.mouseUp(mouseAt(page, at, at));
    }
    PanelControl& control(int tag) { return *page.getControlWithTag(tag); }
};

inline bool samePattern(const Vst303Pattern& a, const Vst303Pattern& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline void saveSnapshot(const juce::Image& image, const juce::String& name)
{
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile(name + ".png");
    file.deleteFile();
    juce::FileOutputStream out(file);
    EXPECT_TRUE(out.openedOk() && juce::PNGImageFormat().writeImageToStream(image, out)) << name;
}

// What the component paints over `background`, at its own size.
template <typename C>
juce::Image paintOf(C& c, juce::Colour background = juce::Colour(0xff202428))
{
    juce::Image image(juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    juce::Graphics g(image);
    g.fillAll(background);
    c.paint(g);
    return image;
}

// Pixels in the area that differ from `colour` by more than a small margin.
inline int countPixelsUnlike(const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int n = 0;
    area = area.getIntersection(image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const juce::Colour p = image.getPixelAt(x, y);
            n += std::abs(p.getRed() - colour.getRed()) + std::abs(p.getGreen() - colour.getGreen()) +
                         std::abs(p.getBlue() - colour.getBlue()) > 24;
        }
    return n;
}

// Pixels brighter than `threshold` (0..1) inside `area`.
inline int litPixels(const juce::Image& image, juce::Rectangle<int> area, float threshold = 0.4f)
{
    int lit = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            lit += image.getPixelAt(x, y).getBrightness() > threshold ? 1 : 0;
    return lit;
}

// Frames filled with grey levels 10, 20, 30, ... so a painted frame is known from any pixel.
inline juce::Image numberedStrip(int frames, int w, int h, bool horizontal)
{
    juce::Image strip(juce::Image::ARGB, horizontal ? w * frames : w, horizontal ? h : h * frames, true);
    juce::Graphics g(strip);
    for (int f = 0; f < frames; ++f)
    {
        g.setColour(juce::Colour::greyLevel((float)(10 * (f + 1)) / 255.0f));
        g.fillRect(horizontal ? f * w : 0, horizontal ? 0 : f * h, w, h);
    }
    return strip;
}

// Sixteen steps without accent (the analyser's help settings make accented notes thump).
inline Vst303Pattern bassLine()
{
    const int pitches[16] = {0, 7, 12, 3, 5, 0, 10, 8, 0, 3, 7, 12, 5, 0, 2, 9};
    Vst303Pattern p;
    p.setLength(16);
    for (int i = 0; i < 16; ++i)
    {
        p.steps[i] = {static_cast<int8_t>(pitches[i]), static_cast<uint8_t>(i % 5 == 4 ? 0 : step_t::kGate)};
        p.steps[i].set(step_t::kDown, i % 6 == 1);
        p.steps[i].set(step_t::kUp, i % 7 == 2);
    }
    return p;
}

// One bar of the pattern at the analyser help's settings, as OXN3 renders it, written as a WAV file.
inline juce::File renderedLoop(const Vst303Pattern& pattern, int rate, const char* name)
{
    auto synth = makeVoice(rate);
    synth->patterns[0] = pattern;
    synth->cutoff = synth->envmod = synth->decay = synth->accent = 1.0f;
    synth->resonance = 0.0f;
    synth->volume = 0.5f;
    synth->VCOMode = 1;
    settleKnobs(*synth);
    synth->setTempo(80.0);
    synth->setRunStop(1);
    std::vector<float> audio = ::render(*synth, static_cast<int>(synth->samplesPerStep * 16 + 0.5));
    for (float& v : audio)
        v *= 0.5f;
    const juce::File file = juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile(name);
    file.deleteFile();
    std::unique_ptr<juce::AudioFormatWriter> writer(
        juce::WavAudioFormat().createWriterFor(file.createOutputStream().release(), rate, 1, 24, {}, 0));
    const float* channels[] = {audio.data()};
    writer->writeFromFloatArrays(channels, 1, static_cast<int>(audio.size()));
    return file;
}
} // namespace oxn3test
