#pragma once

#include "core/KeptParts.h"
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

// The same sound with the `kept` parts of `base` in place of its own, bit for
// bit; with nothing kept, generate(name, seed, base). The draws are those of
// the sound without kept parts, so every part that is not kept comes out as
// it would have, except where the two promises above need it to give way:
//  - with Length kept and Effects not, the echo keeps the delay in ms the
//    template drew, within the kept length (the Echo Delay slider at most 1);
//  - with one of Amplitude and Effects kept and the other not, the other
//    gives way so that no sample reaches full scale: the new echo is made
//    softer (none at all for a kept curve at 0.95 or above), or the new
//    amplitude curve scaled down under the kept echo.
std::optional<SoundSettings> generate(const std::string& name, uint64_t seed, const SoundSettings& base,
                                      KeptParts kept);

}  // namespace sound_templates
