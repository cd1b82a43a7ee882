#include "core/KeptParts.h"

#include <algorithm>

KeptParts::KeptParts(std::initializer_list<SoundPart> parts) {
    for (SoundPart part : parts) set(part, true);
}

KeptParts& KeptParts::set(SoundPart part, bool kept) {
    if (kept)
        bits_ = uint8_t(bits_ | bit(part));
    else
        bits_ = uint8_t(bits_ & ~bit(part));
    return *this;
}

const char* KeptParts::name(SoundPart part) {
    switch (part) {
    case SoundPart::Amplitude: return "amplitude";
    case SoundPart::Frequency: return "frequency";
    case SoundPart::Waveform: return "waveform";
    case SoundPart::Length: return "length";
    case SoundPart::Effects: return "effects";
    case SoundPart::Quality: return "quality";
    }
    return "";
}

std::string KeptParts::names() const {
    std::string list;
    for (SoundPart part : kAll) {
        if (!has(part)) continue;
        if (!list.empty()) list += ',';
        list += name(part);
    }
    return list;
}

std::optional<KeptParts> KeptParts::parse(const std::string& list, std::string* unknown) {
    KeptParts parts;
    size_t begin = 0;
    while (true) {
        const size_t end = std::min(list.find(',', begin), list.size());
        const std::string item = list.substr(begin, end - begin);
        bool found = false;
        for (SoundPart part : kAll) {
            if (item == name(part)) {
                parts.set(part, true);
                found = true;
            }
        }
        if (!found) {
            if (unknown) *unknown = item;
            return std::nullopt;
        }
        if (end == list.size()) return parts;
        begin = end + 1;
    }
}

SoundSettings KeptParts::applied(SoundSettings made, const SoundSettings& base) const {
    if (has(SoundPart::Amplitude)) made.amplitude = base.amplitude;
    if (has(SoundPart::Frequency)) made.frequency = base.frequency;
    if (has(SoundPart::Waveform)) made.waveform = base.waveform;
    if (has(SoundPart::Length)) made.length = base.length;
    if (has(SoundPart::Effects)) {
        made.distort = base.distort;
        made.echoVolume = base.echoVolume;
        made.echoDelay = base.echoDelay;
    }
    if (has(SoundPart::Quality)) {
        made.sampleRate = base.sampleRate;
        made.bitsPerSample = base.bitsPerSample;
        made.repeatCount = base.repeatCount;
    }
    return made;
}
