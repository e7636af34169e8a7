#include "ui/window/RebirthConversion.h"

#include <algorithm>

namespace rebirth
{
uint8_t convertFlags(uint8_t flags)
{
    uint8_t out = 0;
    if (flags & 0x01) out |= step_t::kSlide;
    if (flags & 0x02) out |= step_t::kAccent;
    if (flags & 0x04) out |= step_t::kUp;
    if (flags & 0x08) out |= step_t::kDown;
    if (!(flags & 0x10)) out |= step_t::kGate;
    return out;
}

void convertUnits(const rbs303_t* units, int count, Vst303Pattern* patterns)
{
    const int unitCount = std::clamp(count, 0, kRbsUnits);
    for (int p = 0; p < kConvertedPatterns; ++p)
    {
        const int unit = p / kRecordsPerUnit;
        if (unit >= unitCount)
            continue;
        const uint8_t* record = units[unit].bytes + kFirstRecordByte + kRecordBytes * (p % kRecordsPerUnit);
        const int length = std::min<int>(record[0], kStepsPerRecord);
        Vst303Pattern& pattern = patterns[p];
        pattern.header = (pattern.header & ~Vst303Pattern::kLengthMask) | static_cast<uint32_t>(std::max(length, 1));
        for (int s = 0; s < length; ++s)
        {
            pattern.steps[s].pitch = static_cast<int8_t>(record[1 + 2 * s]);
            pattern.steps[s].flags = convertFlags(record[2 + 2 * s]);
        }
    }
}
} // namespace rebirth
