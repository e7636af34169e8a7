#pragma once

// Command numbers of Synth303::SwitchBoard, shared by the front panel and mapped MIDI keys.
// Numbers not listed (negative, 29..41, 48..999, above 1000) do nothing.
namespace oxn3
{
enum SwitchBoardCommand : int
{
    kCommandNoteC = 0, // 0..12: note keys C, C#, ... B, high C (the command is the semitone)
    kCommandNoteHighC = 12,
    kCommandClear = 13,
    kCommandRunStop = 14,
    kCommandAutoAdvance = 15,
    kCommandCursorHome = 16,
    kCommandToggleGate = 17,
    kCommandToggleDown = 18,
    kCommandToggleUp = 19,
    kCommandToggleAccent = 20,
    kCommandToggleSlide = 21,
    kCommandCursorBack = 22,
    kCommandCursorForward = 23,
    kCommandLengthUp = 24,
    kCommandLengthDown = 25,
    kCommandCursorAdvance = 26, // forward without wrapping
    kCommandInsertRest = 27,
    kCommandInsertTie = 28,
    kCommandRandomize = 42,
    kCommandAlter = 43,
    kCommandShiftEarlier = 44,
    kCommandShiftLater = 45,
    kCommandTransposeUp = 46,
    kCommandTransposeDown = 47,
    kCommandDetune = 1000
};
} // namespace oxn3
