#include "ui/widgets/CBitmapSlider.h"

#include "ui/framework/ValueChangedListener.h"

namespace oxn3
{
int stripFrame(int frames, double value, double minimum, double maximum)
{
    const double span = maximum - minimum;
    if (!(span > 0.0)) return 0;
    return juce::jlimit(0, juce::jmax(0, frames - 1), (int)((frames - 1) * (value - minimum) / span));
}

int rockerFrame(double rockerValue)
{
    if (rockerValue == 2.0) return 2;
    if (rockerValue == 0.0) return 1;
    if (rockerValue == 1.0) return 0;
    return (int)(float)rockerValue;
}

double rockerValueAt(int y, int height)
{
    return y < height / 2 ? 0.0 : 2.0;
}
} // namespace oxn3

// Frame size of a strip; a missing strip leaves both at 0.
static void frameSize(const juce::Image* strip, int frames, bool horizontal, int& width, int& height)
{
    if (strip == nullptr) return;
    const int n = juce::jmax(1, frames);
    width = horizontal ? strip->getWidth() / n : strip->getWidth();
    height = horizontal ? strip->getHeight() : strip->getHeight() / n;
}

CBitmapSlider::CBitmapSlider(juce::Image* strip_, int frames_, bool horizontal_)
    : juce::Slider("Knob"), strip(strip_), frames(frames_), horizontal(horizontal_)
{
    if (strip != nullptr)
    {
        setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
        frameSize(strip, frames, horizontal, frameWidth, frameHeight);
    }
}

CBitmapSlider::~CBitmapSlider() = default;

void CBitmapSlider::setMidiLearnString(juce::String text)
{
    if (text != overlayText) repaint();
    overlayText = text;
}

void CBitmapSlider::drawFrame(juce::Graphics& g, int frame, int width, int height)
{
    const int sx = horizontal ? frame * frameWidth : 0, sy = horizontal ? 0 : frame * frameHeight;
    g.drawImage(*strip, 0, 0, width, height, sx, sy, frameWidth, frameHeight, false);
}

void CBitmapSlider::paint(juce::Graphics& g)
{
    if (strip != nullptr)
        drawFrame(g, oxn3::stripFrame(frames, getValue(), getMinimum(), getMaximum()), getWidth(),
                  getHeight());
    if (showOverlay)
    {
        g.fillAll(juce::Colours::black.withAlpha((juce::uint8)60));
        g.setColour(juce::Colours::white);
        g.drawText(overlayText, getLocalBounds(), juce::Justification::centred, true);
    }
}

CMovieBitmap::CMovieBitmap(juce::Image* strip_, int frames_, bool horizontal_)
    : CBitmapSlider(strip_, frames_, horizontal_)
{
}

CMovieBitmap::~CMovieBitmap() = default;

void CMovieBitmap::paint(juce::Graphics& g)
{
    if (!((float)getValue() > 0.0f)) return;
    if (strip != nullptr)
    {
        drawFrame(g, 0, getWidth(), getHeight());
        return;
    }
    g.setColour(juce::Colour((juce::uint8)255, (juce::uint8)0, (juce::uint8)0));
    g.fillEllipse(ledArea.translated((float)-getX(), (float)-getY()).reduced(1.0f));
}

CBitmapSticker::CBitmapSticker(juce::Image* strip_, int frames_, bool horizontal_)
    : CBitmapSlider(strip_, frames_, horizontal_)
{
    if (strip != nullptr) setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
    frameSize(strip, frames, horizontal, stickerFrameWidth, stickerFrameHeight);
}

CBitmapSticker::~CBitmapSticker() = default;

// The sticker is decoration: the slider never sees its clicks or the wheel.
void CBitmapSticker::mouseDown(const juce::MouseEvent&) {}
void CBitmapSticker::mouseDrag(const juce::MouseEvent&) {}
void CBitmapSticker::mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails&) {}

void CBitmapSticker::paint(juce::Graphics& g)
{
    if (strip != nullptr)
        drawFrame(g, oxn3::stripFrame(frames, getValue(), getMinimum(), getMaximum()),
                  (int)(getWidth() * 0.75), (int)(getHeight() * 0.75));
}

CBitmapRocker::CBitmapRocker(juce::Image* strip_, int frames_, bool horizontal_)
    : CBitmapSlider(strip_, frames_, horizontal_)
{
    frameSize(strip, frames, horizontal, rockerFrameWidth, rockerFrameHeight);
}

CBitmapRocker::~CBitmapRocker() = default;

void CBitmapRocker::mouseDown(const juce::MouseEvent& e)
{
    setValue(oxn3::rockerValueAt(e.y, getHeight()));
}
// While a button is held the toolkit sends drags, not an exit: a drag outside is the pointer leaving,
// and the rocker springs back to rest (a drag back in presses again).
void CBitmapRocker::mouseDrag(const juce::MouseEvent& e)
{
    setValue(getLocalBounds().contains(e.x, e.y) ? oxn3::rockerValueAt(e.y, getHeight()) : 1.0);
}
void CBitmapRocker::mouseUp(const juce::MouseEvent&)
{
    setValue(1.0);
}
void CBitmapRocker::mouseExit(const juce::MouseEvent&)
{
    setValue(1.0);
}

void CBitmapRocker::setValue(double v)
{
    previousRockerValue = rockerValue;
    rockerValue = v;
    if (v == previousRockerValue) return;
    if (listener != nullptr) listener->valueChanged(tag, (float)v);
    repaint();
}

void CBitmapRocker::paint(juce::Graphics& g)
{
    if (strip != nullptr)
        drawFrame(g, juce::jlimit(0, juce::jmax(0, frames - 1), oxn3::rockerFrame(rockerValue)), getWidth(),
                  getHeight());
}
