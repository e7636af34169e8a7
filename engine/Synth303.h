#pragma once

#include <cstdint>
#include <limits>

#include "engine/COnOffSound.h"
#include "engine/CommonSequencer.h"
#include "engine/FIRfilter.h"
#include "engine/HalfBandDecimator.h"
#include "engine/LFODelay.h"
#include "engine/OnePoleState.h"
#include "engine/WaveTable.h"
#include "patterns/Vst303Pattern.h"

namespace oxn3
{
constexpr int kNumPatterns = 144;   // the bank; 128..143 exist but nothing selects them
constexpr int kUserPatterns = 128;  // selectable by MIDI note, shown and saved
constexpr int kNumMidiNotes = 128;
constexpr int kScopeChannels = 16;
constexpr int kScopeLength = 88200;
constexpr int kPitchBendSize = 16384;
constexpr int kPitchBendCentre = 8192;
constexpr int kDefaultSleepLimit = 88200;
} // namespace oxn3

// The 16-bit noise generator of the VCA noise: a linear congruential sequence scaled to a quiet level.
struct NoiseGenerator
{
    float range = 32767.0f;
    float g = 10923.0f;
    float scale = 3.0518509447574615e-05f; // 1 / 32767
    std::uint32_t seed = 22222;
};

// The whole sound engine: voice, step sequencer, pattern bank and the copies of the
// host parameters that the render reads. The fields live here; the behaviour lives in
// one file per stage (Synth303Pitch.h, Synth303Filter.h, ... and their .cpp files).
class Synth303 : public CommonSequencer
{
public:
    Synth303();
    ~Synth303() override;
    Synth303(const Synth303&) = delete;
    Synth303& operator=(const Synth303&) = delete;

    // --- lifecycle and tables
    void initialize();
    void loadParameters();
    void setAntiClickFadeIn();
    void setTuningTable(const double* table);

    // The voice's running states back at rest (pitch and oscillator, envelopes and accent, the
    // ladders and decimator, the output filters and click), then the anti-click fade-in; the
    // sequencer, the patterns and the knobs stay as they are. For a host's prepareToPlay and reset.
    void clearVoiceStates();

    // --- render engines: write numSamples mono samples to out
    void blockProcessRE(float* out, int numSamples, bool unused);
    void blockProcess311(float* out, int numSamples, bool unused);

    // The improved render; with kPerSampleReference every coefficient and transcendental is
    // recomputed every sample and the decimator is the plain shift register (the two agree bit
    // for bit but where renderRE<false> fuses multiplies and adds, and within 1e-6 of full scale
    // there). blockProcessRE runs renderRE<false>.
    template <bool kPerSampleReference>
    void renderRE(float* out, int numSamples);

    // The classic render, with the same per-sample reference; blockProcess311 runs render311<false>.
    template <bool kPerSampleReference>
    void render311(float* out, int numSamples);

    // The renders' bodies; render*<false> runs them through a copy built for x86-64-v3 (AVX2 and
    // fused multiply-add) where the processor has it (engine/CMakeLists.txt).
    template <bool kPerSampleReference>
    void renderREStages(float* out, int numSamples);
    template <bool kPerSampleReference>
    void render311Stages(float* out, int numSamples);
    void renderREFast(float* out, int numSamples);
    void render311Fast(float* out, int numSamples);

    // One sample of the pair of ladder filters at cutoff coefficient c, resonance r and q = fsRatio.
    float vcf303(float in, float c, float r, float q);

    // --- sequencer clock
    void RunSequencerRE();
    void setTempo(double newBpm);
    void setRunStop(int on);
    void setEditNote(int k);

    // --- note input and step recording
    void NoteOn(int note, int velocity);
    void SlideTo(int note, int velocity);
    void NoteOff(int note);

    // --- pattern-edit commands of the front panel and mapped MIDI keys
    void SwitchBoard(int command);

    // --- pattern files of other programs (Synth303Import*.cpp) and MIDI export
    int importTechnobox2Patterns(const char* path); // ".tb" into patterns 0..23; always 0
    int importPhoscyonPatterns(const char* path);   // ".ph" into patterns 0..127; 1 when opened
    int importTB03Pattern(const char* path);        // ".prm" into the current pattern; 1 when opened
    bool exportMidiPattern(const char* path);       // current pattern as a format-0 MIDI file

    // The pattern the sequencer plays and the editors edit; an out-of-range index
    // (from a damaged state) falls back to a valid slot instead of reading past the bank.
    Vst303Pattern& activePattern()
    {
        const int index = (currentPattern >= 0 && currentPattern < oxn3::kUserPatterns) ? currentPattern : 0;
        return patterns[index];
    }

    // ===================== fields read and written by the processor and the pages
    Vst303Pattern patterns[oxn3::kNumPatterns];
    int currentPattern = 0;
    std::uint8_t keyHeld = 0;
    double samplesPerStep = 44100.0 / 8.0;
    double bpm = 120.0;
    int midiOutNotes[oxn3::kNumMidiNotes] = {};
    // Counts the note-ons of each entry: a key struck again while it sounds, or again after it
    // ended but before the processor looked, is a new note although its entry reads the same.
    std::uint32_t midiOutStrikes[oxn3::kNumMidiNotes] = {};
    int TuningMode = 0;
    int clearGateValue = 1;
    int accentVelocityThreshold = 100;
    int VCANoise = 1;
    int sleepLimit = oxn3::kDefaultSleepLimit;
    int detuneEnabled = 1;
    int OutputClipping = 0;
    int editStep = 0;
    int autoAdvance = 0;
    int running = 0;
    int runRequest = 0;

    // Parameter copies, 0..1, written by the processor every block.
    float cutoff = 0.5f;
    float resonance = 0.0f;
    float envmod = 0.2f;
    float decay = 0.1f;
    float accent = 0.0f;
    float volume = 0.75f;
    float tuning = 0.5f;
    float waveform = 0.0f; // > 0.5 = square
    float distort = 0.0f;
    float highpass = 0.0f;
    float bass = 0.5f;
    float fsRatio = 1.0f; // 44100 / sampleRate
    double sampleRate = 44100.0;

    // Sequencer position and voice control flags.
    int stepSampleCounter = 100000000;
    int sleepCounter = 0;
    int playStep = 0;
    int swingIndex = 0;
    double stepPhase = 0.0;
    int pitchBend = oxn3::kPitchBendCentre;
    int gate = 0;
    int trigger = 0; // lasts one sample
    int stepAccent = 0;
    int latchedAccent = 0;
    int slideActive = 0;
    int stepSlide = 0;
    int stepGate = 0;
    int hostPlaying = 0;
    double gateEnvelope = 0.0;
    float vcoFrequency = 110.0f;
    float vcoPhase = 0.0f;

    // Options and trims, written by the processor.
    int VCOVibrato = 0;
    int VCAClicks = 0;
    int VCOMode = 2;
    int VCOPhaseReset = 0;
    int ImprovedEmulation = 1;
    double ResoTrim = 0.5;
    double VCFTrim = 0.5;
    double GateTrim = 0.5;
    double TuningTrim = 0.5;
    int stepRecord = 0;

    // Scope recorder: the last render's internal signals, 16 channels.
    float scopeBuffers[oxn3::kScopeChannels][oxn3::kScopeLength] = {};
    const char* scopeNames[oxn3::kScopeChannels] = {};
    int scopeWriteIndex = 0;

    // ===================== tables
    double noteFrequencyTable[oxn3::kNumMidiNotes] = {};
    double customTuningTable[oxn3::kNumMidiNotes] = {};
    double pitchBendTable[oxn3::kPitchBendSize] = {};
    WaveTable* wtSaw = nullptr;
    WaveTable* wtSquare = nullptr;
    WaveTable* wtXSaw = nullptr;
    WaveTable* wtXSquare = nullptr;

    // ===================== internal state of the render
    // Pitch and oscillator.
    double cycleRatio[3] = {1.0015, 1.0007, 1.0};
    float oscGain = 2.0f;
    OnePoleState glide;              // sounding frequency in Hz
    LFODelay vibrato;
    OnePoleState naiveSquareLP;      // naive model's square shaping
    OnePoleState analogSawDcBlocker; // analog model, saw
    OnePoleState analogSquareL1;     // analog model, square stages
    OnePoleState analogSquareL2;
    OnePoleState analogSquareL3;
    float analogConstants[6] = {0.54f, 0.60f, 0.83f, 0.0f, 0.31f, 0.32f};

    // Ladder filter and oversampling.
    OnePoleState ladderA[4];
    OnePoleState ladderB[4];
    float ladderAFeedback = 0.0f;
    float ladderBFeedback = 0.0f;
    float filterFeedbackScale = 3.985f;
    OnePoleState filterGainSmoother;
    OnePoleState cutoffSmoother;     // holds the cutoff coefficient
    OnePoleState bassBoostLP;
    FIRfilter firFilters[5];
    double* firDelayLine = nullptr;  // firFilters[1].history, newest sample at index 0
    HalfBandDecimator decimator;     // the render's decimator (ring form of the same filter)

    // Envelopes, accent circuit and VCA.
    OnePoleState mainEnvelope;
    double envelopeArmed = 0.0;      // 0 until the first trigger, then 1
    OnePoleState volumeEnvelope;
    OnePoleState gateFollower;
    OnePoleState accentCap;
    float accentSnapshot = 0.0f;
    OnePoleState d24;
    double triggerRamps[2] = {0.0, 0.0};
    OnePoleState vcaAccentLevel;
    OnePoleState vcaAccentLevel2;
    OnePoleState vcaLevel;
    OnePoleState vcaGain;
    OnePoleState vcaGainSmoothed;
    OnePoleState emphasisLP;

    // Output filters and stage.
    OnePoleState outLP1;
    OnePoleState outLP2;
    OnePoleState outLP3;
    OnePoleState outLP4;
    OnePoleState highpassLP;
    NoiseGenerator filterNoise;      // feeds the filter input
    NoiseGenerator outputNoise;      // added at the output
    int noisePosition = 0;           // read position in tb_dc_noise

    // Classic engine only.
    COnOffSound onOffSound;
    float svfLow = 0.0f;
    float svfBand = 0.0f;
    float svfHigh = 0.0f;
    float svfCoefficient = 0.0f;

    // Parameter smoothers (0.0005 per sample toward the copies above).
    float smoothedTuning = 0.5f;
    float smoothedCutoff = 0.5f;
    float smoothedResonance = 0.05f;
    float smoothedEnvmod = 0.0f;
    float smoothedDecay = 0.0f;
    float smoothedAccent = 0.0f;
    float smoothedWaveform = 0.0f;
    float smoothedVolume = 1.0f;
    float smoothedHighpass = 0.0f;
    float smoothedBass = 0.0f;
    double smootherOffset = oxn3::kSmootherOffset; // sign flips once per sample

    // Sequencer internals.
    int noteLength = 1;
    double speedFactor = 1.0;
    double stepIncrementFactors[3] = {std::numeric_limits<double>::quiet_NaN()}; // samplesPerStep, swing, speedFactor...
    double stepIncrement = 0.0; // ...and the step phase a sample adds with them
    double tripletFactor = 0.75;
    double swingStraight[2] = {1.0, 1.0};
    double swingTriplet[3] = {1.0, 1.0, 1.0};
    int midiOutNotesSounding = 0; // some midiOutNotes entry may be non-zero; spares clearing all 128 per sample
    int midiOutLastNote = -1;     // note of the last gated step that sounded; a slide into it is no new note

    // Note input.
    int lastNote = 0;
    int lastVelocity = 0;

private:
    void bindWaveTables();
    void fillFrequencyTables();
    void resetVoice();
    void recoverUnusableVoice(float* out, int numSamples);
};
