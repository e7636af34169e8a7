#include "engine/Synth303.h"

#include <cmath>
#include <cstring>

#include "engine/StaticTables.h"

Synth303::Synth303()
{
    firDelayLine = firFilters[1].history;
    initialize();
}

Synth303::~Synth303()
{
    WaveTable::release(wtSaw);
    WaveTable::release(wtSquare);
    WaveTable::release(wtXSaw);
    WaveTable::release(wtXSquare);
}

void Synth303::initialize()
{
    keyHeld = 0;
    currentPattern = 0;
    samplesPerStep = sampleRate / 8.0;
    bpm = 120.0;
    TuningMode = 0;
    clearGateValue = 1;
    accentVelocityThreshold = 100;
    VCANoise = 1;
    sleepLimit = oxn3::kDefaultSleepLimit;
    detuneEnabled = 1;
    OutputClipping = 0;
    editStep = 0;
    autoAdvance = 0;
    running = 0;
    runRequest = 0;

    cutoff = 0.5f;
    resonance = 0.0f;
    envmod = 0.2f;
    decay = 0.1f;
    accent = 0.0f;
    volume = 0.75f;
    tuning = 0.5f;
    waveform = 0.0f;
    distort = 0.0f;
    highpass = 0.0f;
    bass = 0.5f;

    stepSampleCounter = 100000000;
    sleepCounter = 0;
    playStep = 0;
    swingIndex = 0;
    stepPhase = 0.0;
    pitchBend = oxn3::kPitchBendCentre;
    hostPlaying = 0;
    vcoFrequency = 110.0f;
    vcoPhase = 0.0f;
    ResoTrim = 0.5;
    VCFTrim = 0.5;
    GateTrim = 0.5;
    stepRecord = 0;

    cycleRatio[0] = 1.0015;
    cycleRatio[1] = 1.0007;
    cycleRatio[2] = 1.0;
    oscGain = 2.0f;
    filterFeedbackScale = 3.985f;
    const float analogDefaults[6] = {0.54f, 0.60f, 0.83f, 0.0f, 0.31f, 0.32f};
    std::memcpy(analogConstants, analogDefaults, sizeof(analogConstants));

    smoothedTuning = 0.5f;
    smoothedCutoff = 0.5f;
    smoothedResonance = 0.05f;
    smoothedEnvmod = 0.0f;
    smoothedDecay = 0.0f;
    smoothedAccent = 0.0f;
    smoothedWaveform = 0.0f;
    smoothedVolume = 1.0f;
    smoothedHighpass = 0.0f;
    smoothedBass = 0.0f;
    smootherOffset = oxn3::kSmootherOffset;

    onOffSound.gain = 0.0f;
    onOffSound.armed = 1;

    bindWaveTables();
    fillFrequencyTables();

    for (int i = 0; i < oxn3::kUserPatterns; ++i)
        patterns[i].Clear(clearGateValue);

    resetVoice();
}

void Synth303::bindWaveTables()
{
    // A repeated initialize() rebinds the objects it already has: one set per engine.
    if (wtSaw == nullptr)
        wtSaw = new WaveTable();
    if (wtSquare == nullptr)
        wtSquare = new WaveTable();
    if (wtXSaw == nullptr)
        wtXSaw = new WaveTable();
    if (wtXSquare == nullptr)
        wtXSquare = new WaveTable();

    wtSaw->bind(wtsawMap, wtsawIndex, wtsawLength, wtsawData, oxn3::kWaveTableMapSize);
    wtSquare->bind(wtsquareMap, wtsquareIndex, wtsquareLength, wtsquareData, oxn3::kWaveTableMapSize);
    wtXSaw->bind(wtxsawMap, wtxsawIndex, wtxsawLength, wtxsawData, wtxsawMapSize);
    wtXSquare->bind(wtxsquMap, wtxsquIndex, wtxsquLength, wtxsquData, wtxsquMapSize);
}

void Synth303::fillFrequencyTables()
{
    double equal = 8.175798915636872;
    double custom = 8.22218793583489;
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
    {
        noteFrequencyTable[n] = equal;
        customTuningTable[n] = custom;
        equal *= 1.059463094359;
        custom *= 1.061463094359;
    }
    for (int i = 0; i < oxn3::kPitchBendSize; ++i)
        pitchBendTable[i] = std::pow(2.0, (i - oxn3::kPitchBendCentre) / 4096.0);
}

void Synth303::resetVoice()
{
    for (int& note : midiOutNotes)
        note = 0;

    gate = 0;
    trigger = 0;
    stepAccent = 0;
    latchedAccent = 0;
    slideActive = 0;
    stepSlide = 0;
    stepGate = 0;
    gateEnvelope = 0.0;

    accentCap.reset();
    accentSnapshot = 0.0f;
    mainEnvelope.reset();
    envelopeArmed = 0.0;
    volumeEnvelope.reset();
    gateFollower.reset();
    d24.reset();
    triggerRamps[0] = 0.0;
    triggerRamps[1] = 0.0;
}

void Synth303::loadParameters()
{
    // A loaded pattern's knob values reach the voice through the processor's parameter
    // copies and the usual smoothing; there is no filter state to prime here.
}

void Synth303::setAntiClickFadeIn()
{
    smoothedVolume = 0.0f;
    smoothedBass = 0.0f;
    bassBoostLP.value = 0.0;
}

void Synth303::setTuningTable(const double* table)
{
    if (table == nullptr)
        return;
    std::memcpy(customTuningTable, table, sizeof(customTuningTable));
}
