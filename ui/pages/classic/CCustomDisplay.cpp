#include "ui/pages/classic/CCustomDisplay.h"

#include "engine/SwitchBoardCommands.h"
#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/window/PatchPath.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/ReadFailureText.h"

using namespace classicpanel;

Vst303Pattern copyPattern;
bool copyPatternFilled = false;

void copyToClipboard(const Vst303Pattern& pattern)
{
    copyPattern = pattern;
    copyPatternFilled = true;
}

void pasteFromClipboard(Vst303Pattern& pattern)
{
    if (copyPatternFilled)
        pattern = copyPattern;
}

namespace
{
constexpr int kLengthRepeatDelay = 10;  // ticks before a held length button repeats
constexpr int kClearTipTicks = 25;
constexpr int kPathTooLongTicks = 50;
constexpr int kPreviewVelocity = 100;
constexpr int kLengthDownIndex = 23;
constexpr int kLengthUpIndex = 24;
constexpr int kLastSlot = 127;

int cursorIndex(const Synth303& s)
{
    return juce::jlimit(0, Vst303Pattern::kMaxSteps - 1, s.editStep);
}
} // namespace

CCustomDisplay::CCustomDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor)
    : MyCustomDisplay(image, editor)
{
    setRepaintsOnMouseActivity(true);
}

CCustomDisplay::~CCustomDisplay()
{
    delete image;
    image = nullptr;
}

void CCustomDisplay::setSynth(Synth303* s)
{
    synth = s;
}

void CCustomDisplay::setScale(float s)
{
    scale = s;
}

void CCustomDisplay::mouseDown(const juce::MouseEvent& e)
{
    press(e.getPosition(), e.mods.isShiftDown(), e.mods.isRightButtonDown());
}

void CCustomDisplay::mouseDrag(const juce::MouseEvent& e)
{
    dragBy(e.getDistanceFromDragStartY());
}

void CCustomDisplay::mouseUp(const juce::MouseEvent&)
{
    release();
}

void CCustomDisplay::press(juce::Point<int> position, bool shift, bool rightButton)
{
    pressedIndex = -1;
    if (synth == nullptr)
        return;
    const int target = pressTarget(position, scale);
    if (target == kLengthZone)
    {
        pressedIndex = kLengthZone;
        dragStartLength = synth->activePattern().getLength();
        dragStartPattern = synth->currentPattern;
        return;
    }
    if (target == kStepZone)
    {
        pressedIndex = kStepZone;
        dragStartStep = synth->editStep;
        return;
    }
    if (target < 0)
        return;
    pressedIndex = target;
    runCommand(buttonlist[target].tag, shift, rightButton);
}

void CCustomDisplay::dragBy(int dy)
{
    if (synth == nullptr || (pressedIndex != kLengthZone && pressedIndex != kStepZone))
        return;
    if (pressedIndex == kLengthZone && synth->currentPattern != dragStartPattern)
    {
        pressedIndex = -1; // the length taken at the press belongs to the other pattern
        return;
    }
    if (pressedIndex == kLengthZone)
    {
        Vst303Pattern& pattern = synth->activePattern();
        pattern.header = (pattern.header & ~Vst303Pattern::kLengthMask) |
                         static_cast<uint32_t>(lengthAfterDrag(dy, dragStartLength));
        setTouched(oxn3::kPatternLengthTarget);
    }
    else
    {
        synth->setEditNote(stepAfterDrag(dy, dragStartStep));
    }
    repaint();
}

void CCustomDisplay::release()
{
    pressedIndex = -1;
    if (synth != nullptr && !synth->running && previewNote >= 0)
    {
        synth->NoteOff(previewNote);
        previewNote = -1;
    }
}

void CCustomDisplay::runCommand(int tag, bool shift, bool rightButton)
{
    using namespace oxn3;
    Synth303& s = *synth;
    Vst303Pattern& pattern = s.activePattern();
    const bool alternate = shift || rightButton;
    if (tag >= kFirstNoteTag && tag <= kLastNoteTag)
    {
        const int cursorBefore = s.editStep;
        s.SwitchBoard(tag - kFirstNoteTag);
        previewStep(tag, cursorBefore);
        setTouched(tag);
        return;
    }
    switch (tag)
    {
    case 213:
        storeUndo("Randomize Pattern");
        s.SwitchBoard(kCommandRandomize);
        setTouched(tag);
        break;
    case 214:
        storeUndo("Alter Pattern");
        if (shift)
            pattern.AlterPattern2();
        else
            s.SwitchBoard(kCommandAlter), setTouched(tag);
        break;
    case 215: s.SwitchBoard(kCommandToggleGate), setTouched(tag); break;
    case 216: s.SwitchBoard(alternate ? kCommandCursorAdvance : kCommandToggleDown), setTouched(alternate ? 234 : tag); break;
    case 217: s.SwitchBoard(alternate ? kCommandInsertTie : kCommandToggleUp), setTouched(alternate ? 236 : tag); break;
    case 218: s.SwitchBoard(alternate ? kCommandInsertRest : kCommandToggleAccent), setTouched(alternate ? 235 : tag); break;
    case 219: s.SwitchBoard(kCommandToggleSlide), setTouched(tag); break;
    case 220: s.SwitchBoard(kCommandAutoAdvance), setTouched(tag); break;
    case 221:
        storeUndo("Clear Pattern");
        if (shift)
        {
            pattern.Clear(0);
            break;
        }
        s.SwitchBoard(kCommandClear);
        if (editor != nullptr)
            editor->setPatchDisplayText("Tip: Use Shift+Clear to set all notes off", kClearTipTicks);
        setTouched(tag);
        break;
    case 222:
        tieOrRestAtCursor();
        s.SwitchBoard(kCommandCursorForward);
        setTouched(tag);
        break;
    case 223: s.SwitchBoard(kCommandCursorBack), setTouched(tag); break;
    case 224:
        s.stepRecord = s.stepRecord ? 0 : 1;
        s.setEditNote(0);
        if (s.stepRecord)
            storeUndo("Step Record");
        setTouched(tag);
        break;
    case 225: case 226: case 227: case 228:
        s.SwitchBoard(kCommandShiftEarlier + (tag - 225));
        setTouched(tag);
        break;
    case 229:
    case 230:
        s.SwitchBoard(tag == 229 ? kCommandLengthDown : kCommandLengthUp);
        repeatCountdown = kLengthRepeatDelay;
        setTouched(tag);
        break;
    case 231: copyToClipboard(pattern); break;
    case 232: pasteFromClipboard(pattern); break;
    case 233: s.SwitchBoard(kCommandRunStop); break;
    default: break;
    }
}

// The key sounds the step it just wrote, so the user hears the octave flags too; only while the
// sequencer is stopped, where the voice is free.
void CCustomDisplay::previewStep(int tag, int cursorBefore)
{
    Synth303& s = *synth;
    if (s.running)
        return;
    const int index = juce::jlimit(0, Vst303Pattern::kMaxSteps - 1, s.autoAdvance ? cursorBefore : s.editStep);
    const step_t& step = s.activePattern().steps[index];
    // The key has written its step already: while step recording, the engine's note input must
    // not write it a second time and move the cursor on again.
    const int recording = s.stepRecord;
    s.stepRecord = 0;
    s.NoteOn(previewNoteFor(step), kPreviewVelocity);
    s.stepRecord = recording;
    previewNote = (tag - kFirstNoteTag) + 36 + octaveOffset(step);
}

// Step recording: "next" with a key held ties the previous note into this step, else rests.
void CCustomDisplay::tieOrRestAtCursor()
{
    Synth303& s = *synth;
    if (!s.stepRecord)
        return;
    Vst303Pattern& pattern = s.activePattern();
    const int cursor = cursorIndex(s);
    if (s.gate)
    {
        const int length = juce::jmax(pattern.getStepCount(), 1);
        const int previous = cursor > 0 ? cursor - 1 : length - 1;
        pattern.steps[cursor] = pattern.steps[previous];
        pattern.steps[previous].set(step_t::kSlide, true);
        return;
    }
    step_t& step = pattern.steps[cursor];
    step.pitch = 0;
    step.flags = static_cast<uint8_t>(step.flags & (step_t::kTie | step_t::kSpare));
}

void CCustomDisplay::storeUndo(const char* label)
{
    if (editor != nullptr)
        editor->storeUndo(*synth, label);
}

void CCustomDisplay::setTouched(int id)
{
    if (editor != nullptr)
        editor->processor.touchedParameter = id;
}

void CCustomDisplay::onIdle(bool tick)
{
    if (!tick)
        return;
    frameCounter += 1;
    if (repeatCountdown > 0)
    {
        if (repeatCountdown-- == 1)
            stepHeldLength();
        repaint();
    }
    // The start-up chase moves one lamp per shown tick, so its pace does not depend on how often
    // the host repaints, and a page that is never painted stops asking after it.
    if (chaseFrame <= kChaseLength)
    {
        if (frameCounter > 1)
            ++chaseFrame;
        repaint();
    }
    if (synth != nullptr && hiddenAnimationWanted(synth->activePattern()))
        repaint();
    if (editor != nullptr && editor->processor.guiRefresh)
    {
        repaint();
        editor->processor.guiRefresh = 0;
    }
}

// A held length button steps again after the delay, then on every tick until released.
void CCustomDisplay::stepHeldLength()
{
    if (synth == nullptr || (pressedIndex != kLengthDownIndex && pressedIndex != kLengthUpIndex))
        return;
    Vst303Pattern& pattern = synth->activePattern();
    pattern.setLength(pattern.getLength() + (pressedIndex == kLengthUpIndex ? 1 : -1));
    repeatCountdown = 1;
}

bool CCustomDisplay::isInterestedInFileDrag(const juce::StringArray&)
{
    return true;
}

// Dropped files fill consecutive slots from the current pattern: audio is transcribed by the
// analyser into the current pattern, pattern files load without their knob settings.
void CCustomDisplay::filesDropped(const juce::StringArray& files, int, int)
{
    if (synth == nullptr || editor == nullptr)
        return;
    const int first = juce::jlimit(0, kLastSlot, synth->currentPattern);
    for (int i = 0; i < files.size() && first + i <= kLastSlot; ++i)
    {
        const juce::String& path = files[i];
        if (isAudioDrop(path))
        {
            if (editor->analyzer != nullptr)
                editor->analyzer->loadAndDetect(juce::File(path));
        }
        else if (isPatternDrop(path))
        {
            oxn3::PatchPath cpath;
            if (!oxn3::toPatchPath(juce::File(path), cpath))
                editor->setPatchDisplayText(oxn3::pathTooLongText(), kPathTooLongTicks);
            else if (!synth->patterns[first + i].Load(cpath, nullptr, nullptr))
                editor->setPatchDisplayText(oxn3::couldNotReadText(juce::File(path)), oxn3::kCouldNotReadTicks);
        }
    }
    repaint();
}
