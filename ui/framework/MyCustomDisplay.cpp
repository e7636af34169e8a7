#include "ui/framework/MyCustomDisplay.h"

#include "ui/framework/CaptionFit.h"
#include "ui/framework/PanelMouse.h"
#include "ui/framework/PanelRules.h"

float LINE_THICKNESS = 0.75f;

using oxn3::panelColour;

MyCustomDisplay::MyCustomDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : image(image_), editor(editor_)
{
}

MyCustomDisplay::~MyCustomDisplay() = default;

void MyCustomDisplay::setSynth(Synth303* s)
{
    synth = s;
}

void MyCustomDisplay::setScale(float s)
{
    scale = s;
}

PanelControl* MyCustomDisplay::addControl(int tag, int type, float x, float y, float w, float h,
                                          const char* label, float value)
{
    if (controlCount >= oxn3::kMaxPanelControls)
        return nullptr; // a full table refuses rather than overwrite a live record
    PanelControl& c = controls[controlCount++];
    c = PanelControl{};
    c.tag = tag, c.type = type, c.x = x, c.y = y, c.w = w, c.h = h, c.value = value;
    oxn3::copyText(c.label, sizeof(c.label), label);
    return &c;
}

PanelControl* MyCustomDisplay::getControlWithTag(int tag)
{
    for (int i = 0; i < controlCount; ++i)
        if (controls[i].tag == tag) return &controls[i];
    return nullptr;
}

static void drawCentred(juce::Graphics& g, juce::Rectangle<float> r, const juce::String& text)
{
    oxn3::drawCaption(g, text, r, juce::Justification::centred);
}

void MyCustomDisplay::drawLabel(juce::Graphics& g, juce::Rectangle<float> r, juce::String text, bool enabled)
{
    g.setColour(panelColour(enabled ? 255 : 127));
    drawCentred(g, r, text);
}

void MyCustomDisplay::drawLeftLabel(juce::Graphics& g, juce::Rectangle<float> r, juce::String text)
{
    g.setColour(panelColour(255));
    oxn3::drawCaption(g, text, r, juce::Justification::topLeft);
}

void MyCustomDisplay::drawButton(juce::Graphics& g, juce::Rectangle<float> r, juce::String text,
                                 juce::Colour frame, juce::Colour textColour)
{
    g.setColour(juce::Colours::black.withAlpha((juce::uint8)128));
    g.fillRect(r);
    g.setColour(frame);
    g.drawRoundedRectangle(r, 2.0f, 1.0f);
    g.setColour(textColour);
    drawCentred(g, r, text);
}

void MyCustomDisplay::drawButton2(juce::Graphics& g, juce::Rectangle<float> r, juce::String text,
                                  juce::Colour, juce::Colour textColour)
{
    g.setColour(panelColour((int)(drawHover * 30.0f + 50.0f)));
    g.fillRoundedRectangle(r, 2.0f * scale);
    g.setColour(textColour);
    drawCentred(g, r, text);
}

// A radial line of the knob at the given angle between two radii in design units.
static void drawSpoke(juce::Graphics& g, juce::Point<float> centre, float angle, float from, float to,
                      float s)
{
    const float c = std::cos(angle), sn = std::sin(angle);
    g.drawLine(centre.x + from * s * c, centre.y + from * s * sn, centre.x + to * s * c,
               centre.y + to * s * sn, LINE_THICKNESS);
}

void MyCustomDisplay::drawSimpleKnob(juce::Graphics& g, juce::Rectangle<float> r, float value, int ticks,
                                     bool enabled)
{
    const float a = enabled ? 1.0f : 0.5f;
    const auto centre = r.getCentre();
    g.setColour(panelColour((int)((drawHover * 40.0f + 150.0f) * a)));
    g.drawEllipse(r, LINE_THICKNESS);
    g.setColour(panelColour((int)(255.0f * a)));
    drawSpoke(g, centre, oxn3::knobAngle(value), 5.0f, 15.0f, scale);
    for (int i = 0; i < ticks; ++i)
    {
        const bool major = i % 4 == 0;
        const float position = ticks > 1 ? (float)i / (float)(ticks - 1) : 0.0f;
        g.setColour(panelColour((int)((major ? 250.0f : 150.0f) * a)));
        drawSpoke(g, centre, oxn3::knobAngle(position), 17.0f, major ? 22.0f : 21.0f, scale);
    }
}

void MyCustomDisplay::drawKnob(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String* labels,
                               int positions, int ticks)
{
    const auto centre = r.getCentre();
    const float s = scale;
    g.setColour(panelColour((int)(drawHover * 40.0f + 150.0f)));
    g.drawEllipse(r, LINE_THICKNESS);
    const float steps = (float)juce::jmax(1, positions - 1);
    g.setColour(panelColour(255));
    drawSpoke(g, centre, oxn3::knobAngle(std::floor(value * steps) / steps), 15.0f, 30.0f, s);
    for (int i = 0; i < ticks; ++i)
    {
        const bool major = i % 5 == 0;
        const float position = ticks > 1 ? (float)i / (float)(ticks - 1) : 0.0f;
        g.setColour(panelColour(major ? 200 : 150));
        drawSpoke(g, centre, oxn3::knobAngle(position), 30.0f, major ? 40.0f : 38.0f, s);
    }
    if (labels == nullptr) return;
    const float side = juce::jmax(0.0f, 15.0f * s + 2.0f);
    for (int j = 0; j < positions; ++j)
    {
        const float angle = oxn3::knobAngle((float)j / steps);
        const float lx = centre.x + 50.0f * s * std::cos(angle), ly = centre.y + 50.0f * s * std::sin(angle);
        const juce::Rectangle<float> box(lx - 7.5f * s - 1.0f, ly - 7.5f * s - 1.0f, side, side);
        g.setColour(panelColour(150));
        g.drawRoundedRectangle(box, 2.0f * s, LINE_THICKNESS);
        g.setColour(panelColour(250));
        drawCentred(g, box, labels[j]);
    }
}

void MyCustomDisplay::drawSlider(juce::Graphics& g, juce::Rectangle<float> r, float value)
{
    const float s = scale, cx = r.getX() + r.getWidth() / 2.0f;
    g.setColour(panelColour(150));
    g.drawRoundedRectangle(cx - 1.0f, r.getY(), 2.0f, r.getHeight(), s, LINE_THICKNESS);
    for (int k = 0; k < 10; ++k)
    {
        const float y = r.getY() + (float)k / 9.0f * r.getHeight();
        const float d = (k % 2 == 1 ? 5.0f : 3.0f) * s;
        g.drawLine(cx + d, y, r.getRight(), y, 1.0f);
        g.drawLine(cx - d, y, r.getX(), y, 1.0f);
    }
    const juce::Rectangle<float> thumb(cx - 10.0f * s, r.getY() + value * r.getHeight() - 2.0f * s, 20.0f * s,
                                       4.0f * s);
    g.setColour(juce::Colours::black);
    g.fillRoundedRectangle(thumb, s);
    g.setColour(panelColour((int)(drawHover * 40.0f + 200.0f)));
    g.drawRoundedRectangle(thumb, s, LINE_THICKNESS);
}

void MyCustomDisplay::drawRoundedButton(juce::Graphics& g, juce::Rectangle<float> r, float corner,
                                        float value, float fill, juce::String text)
{
    const float radius = corner * scale;
    if (value < 0.5f)
    {
        g.setColour(panelColour((int)(drawHover * 40.0f + 150.0f)));
        g.drawRoundedRectangle(r, radius, LINE_THICKNESS);
    }
    g.setColour(juce::Colour((juce::uint8)(int)(220.0f * fill), (juce::uint8)(int)(230.0f * fill),
                             (juce::uint8)(int)(255.0f * fill), (juce::uint8)250));
    g.fillRoundedRectangle(r, radius);
    if (fill > 0.5f)
        g.setColour(juce::Colours::black.withAlpha((juce::uint8)250));
    else
        g.setColour(panelColour(value >= 0.0f ? 250 : 120));
    drawCentred(g, r, text);
}

void MyCustomDisplay::drawToggleButton(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String)
{
    g.setColour(panelColour((int)(drawHover * 40.0f + 150.0f)));
    g.drawRoundedRectangle(r, 2.0f, LINE_THICKNESS);
    if (value > 0.0f)
    {
        g.setColour(panelColour(250));
        g.fillRoundedRectangle(r, 2.0f);
    }
}

void MyCustomDisplay::drawToggleSwitch(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String)
{
    g.setColour(panelColour((int)(drawHover * 40.0f + 150.0f)));
    g.drawRoundedRectangle(r, 4.0f, LINE_THICKNESS);
    const juce::Rectangle<float> knob(r.getX() + (r.getWidth() - 2.0f) / 3.0f * value, r.getY(),
                                      r.getHeight(), r.getHeight());
    g.setColour(panelColour(250));
    g.fillEllipse(knob);
    g.setColour(juce::Colours::black);
    static const char* const digits[] = {"1", "2", "3"};
    const int position = juce::jlimit(0, 2, (int)value);
    drawCentred(g, knob, digits[position]);
}

void MyCustomDisplay::drawPlayButton(juce::Graphics& g, juce::Rectangle<float> r, float value, int b)
{
    const float s = scale;
    g.setColour(juce::Colour((juce::uint8)(int)(0.86f * (float)b), (juce::uint8)(int)(0.9f * (float)b),
                             (juce::uint8)b));
    g.drawEllipse(r, LINE_THICKNESS);
    if (value == 0.0f)
    {
        const auto c = r.getCentre();
        juce::Path triangle;
        triangle.addTriangle(c.x - 5.25f * s, c.y - 7.5f * s, c.x + 9.75f * s, c.y, c.x - 5.25f * s,
                             c.y + 7.5f * s);
        g.fillPath(triangle);
    }
    else
        g.fillRect(r.reduced(14.0f * s));
}

void MyCustomDisplay::onIdle(bool active)
{
    if (!active) return;
    for (int i = 0; i < controlCount; ++i)
    {
        PanelControl& c = controls[i];
        c.hoverLevel += (c.hoverTarget - c.hoverLevel) * 0.5f;
        if (std::abs(c.hoverTarget - c.hoverLevel) > 0.01f) c.dirty = 1;
        const float step = c.value > 0.5f ? c.animation + 0.2f : c.animation - 0.2f;
        if (c.type == 3 && std::abs(step - c.value) > 0.01f) c.dirty = 1;
        c.animation = juce::jlimit(0.0f, 1.0f, step);
    }
    ++frameCounter;
}

void MyCustomDisplay::invalidateRects()
{
    for (int i = 0; i < controlCount; ++i)
        if (controls[i].dirty) repaint(oxn3::dirtyArea(controls[i], scale));
}

void MyCustomDisplay::mouseMove(const juce::MouseEvent& e)
{
    oxn3::panelHover(*this, e.x, e.y);
}

void MyCustomDisplay::mouseExit(const juce::MouseEvent&)
{
    oxn3::panelLeave(*this);
}

void MyCustomDisplay::mouseDown(const juce::MouseEvent& e)
{
    oxn3::panelPress(*this, e.x, e.y, e.getNumberOfClicks());
}

void MyCustomDisplay::mouseDrag(const juce::MouseEvent& e)
{
    oxn3::panelDrag(*this, e.x, e.y);
}

void MyCustomDisplay::mouseUp(const juce::MouseEvent&)
{
    oxn3::panelRelease(*this);
}

static juce::String noteLabels[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

void MyCustomDisplay::paint(juce::Graphics& g)
{
    g.saveState();
    const juce::Colour dimPanel = panelColour(100), textPanel = panelColour(200);
    for (int i = 0; i < controlCount; ++i)
    {
        PanelControl& c = controls[i];
        const float h = c.hoverLevel;
        drawHover = h;
        const juce::Colour hover((juce::uint8)(int)(100.0f - 100.0f * h),
                                 (juce::uint8)(int)(100.0f + 100.0f * h),
                                 (juce::uint8)(int)(100.0f + 155.0f * h));
        c.dirty = 0;
        if (c.type != 2) g.setFont(c.fontSize * scale);
        const juce::Rectangle<float> r(c.x * scale, c.y * scale, c.w * scale, c.h * scale);
        const juce::String label = oxn3::recordText(c.label, sizeof(c.label));
        switch (c.type)
        {
        case 0:
            drawButton(g, r, label, i == hoveredIndex ? hover : dimPanel, textPanel);
            break;
        case 1:
            drawKnob(g, r, c.value, noteLabels, 12, 12);
            break;
        case 2:
            drawSlider(g, r, c.value);
            break;
        case 3:
            drawRoundedButton(g, r, c.cornerRadius * scale, c.value, c.animation, label);
            break;
        case 4:
            drawToggleButton(g, r, c.value, label);
            break;
        case 5:
            drawLabel(g, r, label, c.enabled != 0);
            break;
        case 6:
            drawLeftLabel(g, r, label);
            break;
        case 7:
            drawSimpleKnob(g, r, c.value, 25, c.enabled != 0);
            break;
        case 8:
            drawToggleSwitch(g, r, c.value, label);
            break;
        case 9:
            drawButton2(g, r, label, dimPanel, textPanel);
            break;
        default:
            break;
        }
        if (!c.showOverlay) continue;
        g.setFont(12.0f);
        const juce::String overlay = oxn3::recordText(c.overlayText, sizeof(c.overlayText));
        const float tw = g.getCurrentFont().getStringWidthFloat(overlay);
        const float fh = (float)(int)g.getCurrentFont().getHeight();
        const auto centre = r.getCentre();
        const juce::Rectangle<float> box(centre.x - tw / 2.0f - 3.0f, centre.y - fh / 2.0f - 3.0f, tw + 6.0f,
                                         fh + 6.0f);
        g.setColour(juce::Colours::black.withAlpha((juce::uint8)200));
        g.fillRect(box);
        g.setColour(juce::Colours::white);
        g.drawRect(box, 1.0f);
        drawCentred(g, box, overlay);
    }
    g.restoreState();
}
