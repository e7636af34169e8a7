#pragma once

#include <cstdint>

class JuceDemoPluginAudioProcessor;

namespace oxn3
{
// A 64-bit digest of what the saved state holds besides the host parameters and the current
// pattern: the editor size, the options, the 128 patterns as saved (length, triplet, pitches and
// step flags but the spare bits), both MIDI-learn maps, the tuning table and the randomiser
// settings. Instances that would save the same such values have the same fingerprint; a change
// to any one of them changes it (but for a 64-bit collision). It reads about 20 KB of fields and
// builds no XML, so it can be taken a few times a second.
std::uint64_t storedStateFingerprint(const JuceDemoPluginAudioProcessor& processor);
} // namespace oxn3
