#pragma once

#include "core/SoundSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Ready-made families of game sounds. A template and a seed give one complete
// sound, the same on every machine and build (see SeededRandom), so a seed
// can be written down and the sound made again. On every seed, counting the
// whole sound with its echo tail: a coin lasts at most 0.6 s; a laser at most
// 0.7 s and falls; a jump 0.15 to 0.45 s and rises; a hit at most 0.35 s, on
// a noise waveform about two times in three; an explosion at least 0.48 s on
// Noise 5 or Noise 6, loudest at its start; a blip at most 0.144 s; a powerup
// rises.
namespace sound_templates {

// The template names in menu order: coin, laser, explosion, powerup, hit,
// jump, blip, random.
const std::vector<std::string>& names();

// The template of any kind, quality included (the editor's Randomize).
constexpr char kRandom[] = "random";

// Exact, lower-case names only.
bool isKnown(const std::string& name);

// The sound the named template makes for `seed`, or nullopt for a name that
// is not one of names(). Every template but "random" keeps the sample rate and
// width of `keepQualityFrom` (the user's chosen quality); "random" draws its
// own. Every result has valid curves, a non-silent amplitude curve, and levels
// low enough that, with its echo, no sample reaches full scale.
std::optional<SoundSettings> generate(const std::string& name, uint64_t seed, const SoundSettings& keepQualityFrom);

}  // namespace sound_templates
