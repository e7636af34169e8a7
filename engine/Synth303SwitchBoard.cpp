// The numbered pattern-edit commands of the front panel and of mapped MIDI keys. Every command
// works on the current pattern at the editor cursor.
#include <algorithm>

#include "engine/SwitchBoardCommands.h"
#include "engine/Synth303.h"

using namespace oxn3;

namespace
{
constexpr int kOctave = 12;
constexpr int kHighestCycledPitch = 23; // a note key raises pitches up to here by an octave
constexpr int kHighC = 12;
constexpr int kHighCTwoOctaves = 24;
constexpr int kHighCThreeOctaves = 36;
constexpr double kDetunedCycleRatio = 1.0015;
constexpr double kPlainCycleRatio = 1.0;

// Steps that the cursor moves over: the length, at least 1 and at most the record.
int cursorLength(Synth303& synth)
{
    return std::max(synth.activePattern().getStepCount(), 1);
}

// The step under the cursor, or null when the cursor stands outside the record.
step_t* stepAtCursor(Synth303& synth)
{
    if (synth.editStep < 0 || synth.editStep >= Vst303Pattern::kMaxSteps) return nullptr;
    return &synth.activePattern().steps[synth.editStep];
}

void toggleAtCursor(Synth303& synth, uint8_t flag)
{
    if (step_t* step = stepAtCursor(synth)) step->flags = static_cast<uint8_t>(step->flags ^ flag);
}

void cursorForwardWrapping(Synth303& synth)
{
    synth.editStep = synth.editStep + 1 < cursorLength(synth) ? synth.editStep + 1 : 0;
}

void cursorForwardStopping(Synth303& synth)
{
    if (synth.editStep + 1 < cursorLength(synth)) ++synth.editStep;
}

void cursorBackWrapping(Synth303& synth)
{
    synth.editStep = synth.editStep > 0 ? synth.editStep - 1 : cursorLength(synth) - 1;
}

// Without auto-advance, pressing the key that matches the step's note cycles its octave.
int enteredPitch(int key, int pitch, bool autoAdvance)
{
    if (autoAdvance) return key;
    if (key < kHighC && pitch % kOctave == key) return pitch <= kHighestCycledPitch ? pitch + kOctave : key;
    if (key == kHighC)
    {
        if (pitch == kHighC) return kHighCTwoOctaves;
        if (pitch == kHighCTwoOctaves) return kHighCThreeOctaves;
        return kHighC;
    }
    return key;
}

void enterNote(Synth303& synth, int key)
{
    step_t* step = stepAtCursor(synth);
    if (step == nullptr) return;
    step->pitch = static_cast<int8_t>(enteredPitch(key, step->pitch, synth.autoAdvance != 0));
    if (synth.autoAdvance) cursorForwardWrapping(synth);
}

void toggleRunStop(Synth303& synth)
{
    if (!synth.running)
    {
        synth.setRunStop(1);
        return;
    }
    synth.running = 0;
    synth.runRequest = 0;
    synth.keyHeld = 0;
    synth.gate = 0;
    synth.slideActive = 0;
}

void toggleAutoAdvance(Synth303& synth)
{
    synth.autoAdvance = synth.autoAdvance ? 0 : 1;
    if (!synth.autoAdvance) synth.editStep = 0;
}

void toggleDetune(Synth303& synth)
{
    synth.detuneEnabled = synth.detuneEnabled ? 0 : 1;
    synth.cycleRatio[0] = synth.detuneEnabled ? kDetunedCycleRatio : kPlainCycleRatio;
}

void changeLength(Synth303& synth, int delta)
{
    // setLength keeps the result in 1..64, the triplet bit and the steps beyond the length;
    // the cursor is left where it is.
    Vst303Pattern& pattern = synth.activePattern();
    pattern.setLength(pattern.getLength() + delta);
}

void runPatternCommand(Synth303& synth, int command)
{
    Vst303Pattern& pattern = synth.activePattern();
    switch (command)
    {
    case kCommandRandomize:
        pattern.Randomize();
        break;
    case kCommandAlter:
        pattern.AlterPattern();
        break;
    case kCommandShiftEarlier:
        pattern.Shift(-1);
        break;
    case kCommandShiftLater:
        pattern.Shift(1);
        break;
    case kCommandTransposeUp:
        pattern.Transpose(1);
        break;
    case kCommandTransposeDown:
        pattern.Transpose(-1);
        break;
    default:
        break;
    }
}
} // namespace

void Synth303::SwitchBoard(int command)
{
    if (command >= kCommandNoteC && command <= kCommandNoteHighC)
    {
        enterNote(*this, command);
        return;
    }

    switch (command)
    {
    case kCommandClear:
        activePattern().Clear(clearGateValue);
        editStep = 0;
        break;
    case kCommandRunStop:
        toggleRunStop(*this);
        break;
    case kCommandAutoAdvance:
        toggleAutoAdvance(*this);
        break;
    case kCommandCursorHome:
        editStep = 0;
        break;
    case kCommandToggleGate:
        toggleAtCursor(*this, step_t::kGate);
        break;
    case kCommandToggleDown:
        toggleAtCursor(*this, step_t::kDown);
        break;
    case kCommandToggleUp:
        toggleAtCursor(*this, step_t::kUp);
        break;
    case kCommandToggleAccent:
        toggleAtCursor(*this, step_t::kAccent);
        break;
    case kCommandToggleSlide:
        toggleAtCursor(*this, step_t::kSlide);
        break;
    case kCommandCursorBack:
        cursorBackWrapping(*this);
        break;
    case kCommandCursorForward:
        cursorForwardWrapping(*this);
        break;
    case kCommandLengthUp:
        changeLength(*this, 1);
        break;
    case kCommandLengthDown:
        changeLength(*this, -1);
        break;
    case kCommandCursorAdvance:
        cursorForwardStopping(*this);
        break;
    case kCommandInsertRest:
        activePattern().insertRest(editStep);
        cursorForwardStopping(*this);
        break;
    case kCommandInsertTie:
        activePattern().insertTie(editStep);
        cursorForwardStopping(*this);
        break;
    case kCommandRandomize:
    case kCommandAlter:
    case kCommandShiftEarlier:
    case kCommandShiftLater:
    case kCommandTransposeUp:
    case kCommandTransposeDown:
        runPatternCommand(*this, command);
        break;
    case kCommandDetune:
        toggleDetune(*this);
        break;
    default:
        break; // unassigned numbers do nothing
    }
}
