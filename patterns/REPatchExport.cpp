// Reason Rack Extension device patch (".repatch"): the pattern and the main knob values as
// "JukeboxPatch" XML. The blanks are part of the layout the rack device reads.
#include <cstdio>

#include "patterns/WholeFileWriter.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/Vst303PatternMetaData.h"

namespace
{
// Our own rack device; the patch opens only in it.
constexpr char kDeviceProductId[] = "com.quellbrook.oxn3";
constexpr char kDeviceVersion[] = "1.0d21";

struct KnobProperty
{
    const char* tag;
    const char* property;
};

constexpr KnobProperty kKnobProperties[] = {
    {"Tune:", "tuning"}, {"Cutoff:", "cutoff"}, {"Resonance:", "resonance"}, {"Envmod:", "envmod"},
    {"Decay:", "decay"}, {"Accent:", "accent"}, {"Waveform:", "waveform"}};

void writeHeader(FILE* out)
{
    std::fputs("<?xml version=\"1.0\"?>\n", out);
    std::fputs("<JukeboxPatch version=\"1.0\" >\n", out);
    std::fputs("    <DeviceNameInEnglish>\n", out);
    std::fputs("        OXN3 303 Emulator\n", out);
    std::fputs("    </DeviceNameInEnglish>\n", out);
    std::fprintf(out, "    <Properties deviceProductID=\"%s\"  deviceVersion=\"%s\" >\n", kDeviceProductId,
                 kDeviceVersion);
    std::fputs("        <Object name=\"custom_properties\" >\n", out);
}

void writeFooter(FILE* out)
{
    std::fputs("       </Object>\n", out);
    std::fputs("    </Properties>\n", out);
    std::fputs("</JukeboxPatch>\n", out);
}

void writeValue(FILE* out, const char* property, double value)
{
    std::fprintf(out, "            <Value property=\"%s\"  type=\"number\" >\n", property);
    std::fprintf(out, "                %f\n", value);
    std::fputs("            </Value>\n", out);
}

void writeKnobs(FILE* out, const Vst303PatternMetaData& meta)
{
    std::printf("Writing parameters\n");
    for (const KnobProperty& knob : kKnobProperties)
    {
        float value = 0.0f;
        if (!meta.getValue(knob.tag, &value))
            continue;
        std::printf("%s %f\n", knob.tag, static_cast<double>(value));
        writeValue(out, knob.property, value);
    }
}

// One block per step for the flag `mask`, named name0, name1, ...
void writeFlagGroup(FILE* out, const Vst303Pattern& pattern, int count, const char* name, uint8_t mask)
{
    char property[32];
    for (int i = 0; i < count; ++i)
    {
        std::snprintf(property, sizeof property, "%s%d", name, i);
        writeValue(out, property, pattern.steps[i].has(mask) ? 1.0 : 0.0);
    }
}

void writePitches(FILE* out, const Vst303Pattern& pattern, int count)
{
    char property[32];
    for (int i = 0; i < count; ++i)
    {
        std::snprintf(property, sizeof property, "dpitch%d", i);
        writeValue(out, property, pattern.steps[i].pitch);
    }
}
} // namespace

int Vst303Pattern::exportREPatch(const char* path, const Vst303PatternMetaData* meta) const
{
    WholeFileWriter file(path);
    FILE* out = file.stream();
    if (out == nullptr)
        return 0;

    writeHeader(out);
    if (meta != nullptr)
        writeKnobs(out, *meta);
    const int count = getStepCount();
    writeValue(out, "dpatternlength", count);
    writePitches(out, *this, count);
    writeFlagGroup(out, *this, count, "ddown", step_t::kDown);
    writeFlagGroup(out, *this, count, "dup", step_t::kUp);
    writeFlagGroup(out, *this, count, "dslide", step_t::kSlide);
    writeFlagGroup(out, *this, count, "daccent", step_t::kAccent);
    writeFlagGroup(out, *this, count, "dgate", step_t::kGate);
    writeFooter(out);
    return file.commit() ? 1 : 0;
}
