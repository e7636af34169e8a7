#pragma once

// Base of the engine: loop positions of a sequencer.
class CommonSequencer
{
public:
    int startPosition = 0;
    int endPosition = 3;
    int sequencerLoop = 0;

    virtual ~CommonSequencer() = default;
    virtual int getStartPosition() { return startPosition; }
    virtual int getEndPosition() { return endPosition; }
    virtual int getSequencerLoop() { return sequencerLoop; }
};
