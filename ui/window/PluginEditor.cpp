#include "ui/window/PluginEditor.h"

#include "processor/PluginProcessor.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/widgets/CPatchDisplay.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/widgets/CPatternDigits.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/preferences/CPreferencesView.h"
#include "ui/widgets/CSplashView.h"
#include "ui/pages/scope/CWaveformDisplay.h"
#include "ui/window/EditorGeometry.h"

const WidgetRow widgets_front[oxn3::kFrontWidgets] = {
    {2, 175.0f, 8.0f, "switch01d.png", 2, "waveformSwitch", 8},
    {0, 113.5f, 58.0f, "kb01d.png", 5, "patternKnob", -1},
    {0, 200.0f, 61.0f, "kb02d.png", 63, "tuningKnob", 0},
    {0, 262.75f, 61.0f, "kb03d.png", 63, "cutoffKnob", 1},
    {0, 325.0f, 61.0f, "kb04d.png", 63, "resonanceKnob", 2},
    {0, 387.0f, 61.0f, "kb05d.png", 63, "envmodKnob", 3},
    {0, 449.0f, 61.0f, "kb06d.png", 63, "decayKnob", 4},
    {0, 511.0f, 61.0f, "kb07d.png", 63, "accentKnob", 5},
    {0, 596.0f, 57.0f, "kb08d.png", 63, "volumeKnob", 6},
    {3, 515.0f, 8.0f, "selector01c.png", 3, "patternUpDown", -1},
    {4, 649.0f, 47.0f, "sticker.png", 1, "sticker00005", -1},
};

namespace
{
enum WidgetKind : std::uint32_t
{
    kKnob = 0,
    kSwitch = 2,
    kRocker = 3,
    kSticker = 4
};

constexpr int kTimerIntervalMs = 50;
constexpr float kHighDensityScale = 2.0f;

CBitmapSlider* makeWidget(const WidgetRow& row, juce::Image* strip)
{
    switch (row.kind)
    {
        case kSwitch: return new CHorizontalSwitch(strip, row.frames, false);
        case kRocker: return new CBitmapRocker(strip, row.frames, false);
        case kSticker: return new CBitmapSticker(strip, row.frames, false);
        default: return new CBitmapSlider(strip, row.frames, false);
    }
}

// The average of the picture's outermost pixels: a plain colour that continues the panel's edge.
juce::Colour edgeColour(const juce::Image& image)
{
    if (!image.isValid())
        return juce::Colours::black;
    const juce::Image::BitmapData data(image, juce::Image::BitmapData::readOnly);
    const int w = image.getWidth(), h = image.getHeight();
    double r = 0, g = 0, b = 0;
    int n = 0;
    auto add = [&](int x, int y) {
        const auto c = data.getPixelColour(x, y);
        r += c.getRed(), g += c.getGreen(), b += c.getBlue(), ++n;
    };
    for (int x = 0; x < w; ++x)
        add(x, 0), add(x, h - 1);
    for (int y = 0; y < h; ++y)
        add(0, y), add(w - 1, y);
    return juce::Colour((juce::uint8) (r / n), (juce::uint8) (g / n), (juce::uint8) (b / n)).darker(0.3f);
}

float displayScale()
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    return display != nullptr ? (float) display->scale : 1.0f;
}
} // namespace

JuceDemoPluginAudioProcessorEditor::JuceDemoPluginAudioProcessorEditor(JuceDemoPluginAudioProcessor& owner)
    : juce::AudioProcessorEditor(owner), processor(owner), synth(owner.synth.get())
{
    setOpaque(true);
    textColorR = 255, textColorG = 255, textColorB = 0, textColorA = 255;
    resolveSkin();

    patternFileList.setDirectory(processor.patternsFolder, false, true);
    scannerThread.startThread(juce::Thread::Priority::low);

    lastPattern = -1;
    lastRunning = synth->running;
    lastViewMode = processor.PatternKnob;
    tickCount = rockerCountdown = 0;
    statusState = oxn3::kStatusStart;
    statusCounter = 0;
    splashVisible = false;

    preloadSkinImages();
    const juce::File background(juce::String::fromUTF8(backgroundFilename));
    backgroundImage = backgroundFilename[0] != '\0' && background.existsAsFile()
                          ? juce::ImageFileFormat::loadFrom(background)
                          : (backgroundFilename[0] != '\0' ? juce::Image() : loadSkinImage("background.png"));
    backgroundScaled = backgroundImage;
    marginColour = edgeColour(backgroundImage);
    overlayImage = loadSkinImage("overlay.png");
    overlayScaled = overlayImage;

    createWidgets();
    createPages();
    createDisplays();

    patternKnobWidget = getBitmapSliderWithName("patternKnob");
    if (patternKnobWidget != nullptr)
        patternKnobWidget->setValue(processor.PatternKnob * 0.25, juce::dontSendNotification);
    LINE_THICKNESS = displayScale() > kHighDensityScale ? 0.75f : 1.5f;

    resizer = std::make_unique<juce::ResizableCornerComponent>(this, &constrainer);
    addAndMakeVisible(*resizer);
    constrainer.setSizeLimits(oxn3::kMinWidth, oxn3::kMinHeight, oxn3::kMaxWidth, oxn3::kMaxCornerHeight);
    constrainer.setFixedAspectRatio((double) oxn3::kDesignWidth / oxn3::kDesignHeight);
    // Hosts may give the window any size: the panel is laid out centred in whatever they keep. A
    // host that asks what size the editor wants (the VST3 size handshake) is told to keep its own,
    // or a host window that follows its content and a window manager that holds the window's size
    // resize each other without end. Only the editor's own corner keeps the panel's shape.
    setResizable(true, false);

    const auto size = oxn3::restoredEditorSize(processor.uiWidth, processor.uiHeight);
    setSize(size.x, size.y);

    preloadedImages.clear();
    timerCallback();
    startTimer(kTimerIntervalMs);
}

void JuceDemoPluginAudioProcessorEditor::createWidgets()
{
    for (const auto& row : widgets_front)
    {
        auto* image = new juce::Image(loadSkinImage(row.file));
        widgetImages[widgetImageCount++] = image;
        juce::Image* strip = image->isValid() ? image : nullptr;
        CBitmapSlider* widget = makeWidget(row, strip);
        if (row.kind == kRocker)
        {
            rocker = static_cast<CBitmapRocker*>(widget);
            rocker->tag = oxn3::kRockerTag;
            rocker->listener = this;
        }
        else
        {
            widget->setName(row.name);
            const bool isSwitch = row.kind == kSwitch;
            widget->setRange(0.0, 1.0, isSwitch ? 1.0 : 0.001);
            widget->setSliderStyle(isSwitch ? juce::Slider::LinearHorizontal : juce::Slider::RotaryVerticalDrag);
            widget->addListener(this);
        }
        if (row.kind == kSticker)
            sticker = static_cast<CBitmapSticker*>(widget);
        const int frames = juce::jmax(1, row.frames);
        widget->setBounds((int) row.x, (int) row.y, image->getWidth(), image->getHeight() / frames);
        widget->parameterIndex = row.parameter;
        widgets[widgetCount++] = widget;
        addAndMakeVisible(widget);
    }
    if (auto* tuning = getBitmapSliderWithName("tuningKnob"))
        tuning->setDoubleClickReturnValue(true, 0.5);
}

void JuceDemoPluginAudioProcessorEditor::createPages()
{
    auto page = [this](auto* p) {
        p->setSynth(synth);
        addAndMakeVisible(p);
        return p;
    };
    customDisplay = page(new CCustomDisplay(new juce::Image(loadSkinImage("Switchboard_Back_x4.png")), this));
    airaDisplay = page(new CAiraDisplay(nullptr, this));
    patternDisplay = new CPatternDisplay(nullptr, this);
    patternDisplay->synth = synth;
    addAndMakeVisible(patternDisplay);
    analyzer = page(new CPatternAnalyzer(nullptr, this));
    waveformDisplay = page(new CWaveformDisplay(nullptr, this));
    randomView = page(new CAdvancedRandomView(nullptr, this));
    preferencesView = page(new CPreferencesView(nullptr, this));
    logoImage = std::make_unique<juce::Image>(loadSkinImage("OXN3-Logo-White.png"));
    splashView = page(new CSplashView(logoImage->isValid() ? logoImage.get() : nullptr, this));
    splashView->frameCounter = 0;
    splashView->scrollOffset = 0;
}

void JuceDemoPluginAudioProcessorEditor::createDisplays()
{
    midiLed = new CMovieBitmap(nullptr, 1, false);
    midiLed->addListener(this);
    addAndMakeVisible(midiLed);

    const auto colour = juce::Colour((juce::uint8) (textColorR & 0xFF), (juce::uint8) (textColorG & 0xFF),
                                     (juce::uint8) (textColorB & 0xFF), (juce::uint8) (textColorA & 0xFF));
    patchDisplay = new CPatchDisplay(nullptr, this);
    patchDisplay->tag = oxn3::kPatchDisplayTag;
    patchDisplay->listener = this;
    patchDisplay->textColour = colour;
    patchDisplay->setColour(juce::Label::textColourId, colour);
    patchDisplay->setInterceptsMouseClicks(true, true);
    addAndMakeVisible(patchDisplay);

    patternDigits = new CPatternDigits(nullptr, this);
    patternDigits->textColour = colour;
    patternDigits->setSynth(synth);
    addAndMakeVisible(patternDigits);
}

JuceDemoPluginAudioProcessorEditor::~JuceDemoPluginAudioProcessorEditor()
{
    stopTimer();
    WriteGUIConfig("Gui.ini");
    delete customDisplay;
    delete patternDisplay;
    delete analyzer;
    delete waveformDisplay;
    delete randomView;
    delete preferencesView;
    delete airaDisplay;
    delete splashView;
    for (int i = 0; i < widgetCount; ++i)
        delete widgets[i];
    for (int i = 0; i < widgetImageCount; ++i)
        delete widgetImages[i];
    delete midiLed;
    delete patchDisplay;
    delete patternDigits;
}

CBitmapSlider* JuceDemoPluginAudioProcessorEditor::getBitmapSliderWithName(juce::String name)
{
    for (int i = 0; i < widgetCount; ++i)
        if (widgets[i]->getName() == name)
            return widgets[i];
    return nullptr;
}

void JuceDemoPluginAudioProcessorEditor::resized()
{
    const auto place = oxn3::panelPlace(getWidth(), getHeight());
    const float s = place.scale;
    const auto origin = place.area.getPosition();
    const int width = place.area.getWidth(), height = place.area.getHeight();
    if (backgroundImage.isValid())
        backgroundScaled = backgroundImage.rescaled((int) (2.0f * (float) width), (int) (2.0f * (float) height),
                                                    juce::Graphics::highResamplingQuality);
    if (overlayImage.isValid())
        overlayScaled = overlayImage.rescaled((int) (2.0f * (float) width), (int) (2.0f * (float) height),
                                              juce::Graphics::highResamplingQuality);

    patchDisplay->setBounds(oxn3::scaledRect(oxn3::kPatchDisplayArea, s) + origin);
    patchDisplay->setScale(s);
    patternDigits->setBounds(oxn3::scaledRect(oxn3::kPatternDigitsArea, s) + origin);
    patternDigits->setScale(s);
    const auto led = oxn3::kMidiLedArea * s + origin.toFloat();
    midiLed->setBounds(led.getSmallestIntegerContainer());
    midiLed->ledArea = led;
    resizer->setBounds(place.area.getRight() - 16, place.area.getBottom() - 16, 16, 16);

    const auto pageArea = oxn3::scaledRect(oxn3::kPageArea, s) + origin;
    for (MyCustomDisplay* p : {(MyCustomDisplay*) airaDisplay, (MyCustomDisplay*) analyzer,
                               (MyCustomDisplay*) waveformDisplay, (MyCustomDisplay*) randomView,
                               (MyCustomDisplay*) preferencesView, (MyCustomDisplay*) splashView})
    {
        p->setScale(s);
        p->setBounds(pageArea);
    }
    customDisplay->setScale(s);
    customDisplay->setBounds(pageArea);
    patternDisplay->scale = s;
    patternDisplay->setBounds(pageArea);
    airaDisplay->setBounds(oxn3::scaledRect(oxn3::kStepTableArea, s) + origin);
    airaDisplay->update();

    layOutWidgets(s, origin);
    const auto kept = oxn3::panelSizeWithinLimits(getWidth(), getHeight());
    processor.uiWidth = kept.x;
    processor.uiHeight = kept.y;
    repaint();
}

// A parent that holds an area the editor does not fill (a host's frame that keeps its size after
// the editor asked for another) gets it filled, the panel centred in it, rather than leaving the
// rest to whatever the host paints there. One resize answers a change of the parent's size, and
// none once the editor fills it, so editor and host never resize each other in turn.
void JuceDemoPluginAudioProcessorEditor::parentSizeChanged()
{
    juce::Component::SafePointer<JuceDemoPluginAudioProcessorEditor> self(this);
    juce::MessageManager::callAsync([self] {
        if (self != nullptr)
            self->fillForcedArea();
    });
}

void JuceDemoPluginAudioProcessorEditor::fillForcedArea()
{
    const auto* parent = getParentComponent();
    if (parent == nullptr || getPosition() != juce::Point<int>() || getTransform() != juce::AffineTransform())
        return;
    const auto area = parent->getLocalBounds();
    if (area.getWidth() >= oxn3::kMinWidth && area.getHeight() >= oxn3::kMinHeight && getBounds() != area)
        setBounds(area);
}

void JuceDemoPluginAudioProcessorEditor::layOutWidgets(float s, juce::Point<int> origin)
{
    for (int i = 0; i < widgetCount; ++i)
    {
        const auto& row = widgets_front[i];
        const juce::Image& image = *widgetImages[i];
        const float frames = (float) juce::jmax(1, row.frames);
        const juce::Rectangle<float> area(row.x * s + (float) origin.x, row.y * s + (float) origin.y,
                                          (float) image.getWidth() * 0.5f * s,
                                          (float) image.getHeight() * 0.5f * s / frames);
        // A widget without its picture takes no room at all.
        widgets[i]->setBounds(area.isEmpty() ? juce::Rectangle<int>((int) area.getX(), (int) area.getY(), 0, 0)
                                             : area.getSmallestIntegerContainer());
    }
}

void JuceDemoPluginAudioProcessorEditor::paint(juce::Graphics& g)
{
    const auto area = oxn3::panelPlace(getWidth(), getHeight()).area;
    if (area != getLocalBounds())
    {
        juce::RectangleList<int> margins(getLocalBounds());
        margins.subtract(area);
        g.setColour(marginColour);
        g.fillRectList(margins);
    }
    if (!backgroundScaled.isValid())
    {
        g.setColour(juce::Colours::black);
        g.fillRect(area);
    }
    else
        g.drawImage(backgroundScaled, area.getX(), area.getY(), area.getWidth(), area.getHeight(), 0, 0,
                    backgroundScaled.getWidth(), backgroundScaled.getHeight());
    if (overlayScaled.isValid())
        g.drawImage(overlayScaled, area.getX(), area.getY(), area.getWidth(), area.getHeight(), 0, 0,
                    overlayScaled.getWidth(), overlayScaled.getHeight());
}

void JuceDemoPluginAudioProcessorEditor::mouseDown(const juce::MouseEvent& e)
{
    const auto place = oxn3::panelPlace(getWidth(), getHeight());
    const auto p = e.getPosition() - place.area.getPosition();
    if (oxn3::isInLogo((int) ((float) p.x / place.scale), (int) ((float) p.y / place.scale)))
        splashVisible = true;
}
