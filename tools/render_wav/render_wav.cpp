// Renders a pattern through the engine to a WAV file, for listening and for checking levels.
//   oxn3_render_wav out.wav [--pattern "0a 12 3s ..."] [--bpm 130] [--rate 44100] [--seconds 8]
//       [--cutoff 0.4] [--resonance 0.7] [--envmod 0.6] [--decay 0.4] [--accent 0.8]
//       [--volume 0.5] [--waveform 0] [--mode 2] [--engine improved|classic] [--float]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "PatternText.h"
#include "WavWriter.h"
#include "engine/Synth303.h"

namespace
{
constexpr int kBlockSize = 256;

struct Settings
{
    const char* output = nullptr;
    const char* pattern = kDemoPatternText;
    double bpm = 130.0;
    int sampleRate = 44100;
    double seconds = 8.0;
    float cutoff = 0.4f;
    float resonance = 0.7f;
    float envmod = 0.6f;
    float decay = 0.4f;
    float accent = 0.8f;
    float volume = 0.5f; // accented notes of a resonant line peak near full scale at 0.75
    float waveform = 0.0f;
    int mode = 2;
    bool classic = false; // blockProcess311 instead of blockProcessRE
    bool asFloat = false;
};

void usage()
{
    std::fprintf(stderr, "usage: oxn3_render_wav out.wav [--pattern \"0a 12 3s - ~ 5u\"] [--bpm B] [--rate Hz]\n"
                         "  [--seconds S] [--cutoff|--resonance|--envmod|--decay|--accent|--volume|--waveform 0..1]\n"
                         "  [--mode VCOMode] [--engine improved|classic] [--float]\n");
}

float knob(const char* text)
{
    const float v = static_cast<float>(std::atof(text));
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

int parseArguments(int argc, char** argv, Settings& s)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(a, "--float") == 0)
            s.asFloat = true;
        else if (a[0] != '-' && s.output == nullptr)
            s.output = a;
        else if (!hasValue)
            return 0;
        else if (std::strcmp(a, "--pattern") == 0)
            s.pattern = argv[++i];
        else if (std::strcmp(a, "--bpm") == 0)
            s.bpm = std::atof(argv[++i]);
        else if (std::strcmp(a, "--rate") == 0)
            s.sampleRate = std::atoi(argv[++i]);
        else if (std::strcmp(a, "--seconds") == 0)
            s.seconds = std::atof(argv[++i]);
        else if (std::strcmp(a, "--cutoff") == 0)
            s.cutoff = knob(argv[++i]);
        else if (std::strcmp(a, "--resonance") == 0)
            s.resonance = knob(argv[++i]);
        else if (std::strcmp(a, "--envmod") == 0)
            s.envmod = knob(argv[++i]);
        else if (std::strcmp(a, "--decay") == 0)
            s.decay = knob(argv[++i]);
        else if (std::strcmp(a, "--accent") == 0)
            s.accent = knob(argv[++i]);
        else if (std::strcmp(a, "--volume") == 0)
            s.volume = knob(argv[++i]);
        else if (std::strcmp(a, "--waveform") == 0)
            s.waveform = knob(argv[++i]);
        else if (std::strcmp(a, "--mode") == 0)
            s.mode = std::atoi(argv[++i]);
        else if (std::strcmp(a, "--engine") == 0)
        {
            const char* engine = argv[++i];
            if (std::strcmp(engine, "classic") == 0)
                s.classic = true;
            else if (std::strcmp(engine, "improved") != 0)
                return 0;
        }
        else
            return 0;
    }
    return s.output != nullptr && s.sampleRate >= 8000 && s.sampleRate <= 768000 && s.seconds > 0.0 &&
           s.seconds <= 3600.0;
}

void setUp(Synth303& synth, const Settings& s)
{
    synth.sampleRate = s.sampleRate;
    synth.fsRatio = static_cast<float>(44100.0 / s.sampleRate);
    synth.cutoff = s.cutoff;
    synth.resonance = s.resonance;
    synth.envmod = s.envmod;
    synth.decay = s.decay;
    synth.accent = s.accent;
    synth.volume = s.volume;
    synth.waveform = s.waveform;
    synth.VCOMode = s.mode;
    synth.ImprovedEmulation = s.classic ? 0 : 1;
    synth.setTempo(s.bpm);
    synth.setRunStop(1);
}

void printLevels(const std::vector<float>& out)
{
    double peak = 0.0;
    double sum = 0.0;
    double power = 0.0;
    for (float v : out)
    {
        peak = std::fmax(peak, std::fabs(v));
        sum += v;
        power += static_cast<double>(v) * v;
    }
    const double n = static_cast<double>(out.size());
    std::printf("peak %.4f (%.1f dBFS), rms %.4f, mean %.6f\n", peak, 20.0 * std::log10(peak + 1e-30),
                std::sqrt(power / n), sum / n);
}
} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!parseArguments(argc, argv, settings))
    {
        usage();
        return 2;
    }
    auto synth = std::make_unique<Synth303>();
    if (!parsePatternText(settings.pattern, synth->patterns[0]))
    {
        std::fprintf(stderr, "bad pattern: %s\n", settings.pattern);
        return 2;
    }
    setUp(*synth, settings);

    std::vector<float> out(static_cast<size_t>(std::lround(settings.seconds * settings.sampleRate)), 0.0f);
    for (size_t done = 0; done < out.size(); done += kBlockSize)
    {
        const int n = static_cast<int>(std::min<size_t>(kBlockSize, out.size() - done));
        if (settings.classic)
            synth->blockProcess311(out.data() + done, n, false);
        else
            synth->blockProcessRE(out.data() + done, n, false);
    }
    if (!writeWav(settings.output, out, settings.sampleRate, settings.asFloat))
    {
        std::fprintf(stderr, "cannot write %s\n", settings.output);
        return 1;
    }
    printLevels(out);
    return 0;
}
