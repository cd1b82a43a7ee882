#include "Envelope.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>

Envelope::Envelope(EnvelopeKind kind) : kind_(kind) { reset(kind); }

void Envelope::reset(EnvelopeKind kind) {
    kind_ = kind;
    const float value = kind == EnvelopeKind::Amplitude ? 0.75f : 0.5f;
    times_.assign(6, 0.0f);
    values_.assign(6, value);
    for (int i = 0; i < 6; ++i) times_[static_cast<size_t>(i)] = static_cast<float>(i) / 5.0f;
    if (kind == EnvelopeKind::Amplitude) values_[5] = 0.0f;
}

void Envelope::deletePoint(int index) {
    if (index <= 0 || index >= pointCount() - 1) return;
    times_.erase(times_.begin() + index);
    values_.erase(values_.begin() + index);
}

bool Envelope::insertPoint(float t, float v) {
    const int n = pointCount();
    if (n - 1 <= 0) return false;
    int segment = -1;
    for (int i = 0; i < n - 1; ++i)
        if (times_[size_t(i)] < t && t < times_[size_t(i) + 1]) segment = i;
    if (segment < 0) return false;
    try {
        times_.insert(times_.begin() + segment + 1, t);
        try {
            values_.insert(values_.begin() + segment + 1, v);
        } catch (const std::bad_alloc&) {
            times_.erase(times_.begin() + segment + 1);
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Envelope::movePoint(int index, float t, float v) {
    const int last = pointCount() - 1;
    if (index < 0 || index > last) return;
    float& time = times_[size_t(index)];
    float& value = values_[size_t(index)];
    time = std::fmin(std::fmax(t, 0.0f), 1.0f);
    value = std::fmin(std::fmax(v, 0.0f), 1.0f);
    if (index > 0 && time < times_[size_t(index) - 1]) time = times_[size_t(index) - 1];
    if (index < last && time > times_[size_t(index) + 1]) time = times_[size_t(index) + 1];
    if (index == 0) time = 0.0f;
    if (index == last) time = 1.0f;
}

void Envelope::shiftValues(float dv) {
    for (float value : values_) {
        if (value + dv < 0.0f)
            dv = -value;
        else if (value + dv > 1.0f)
            dv = 1.0f - value;
    }
    for (float& value : values_) value += dv;
}

bool Envelope::assign(const std::vector<float>& times, const std::vector<float>& values) {
    if (times.size() != values.size()) return false;
    try {
        std::vector<float> newTimes(times);
        std::vector<float> newValues(values);
        times_.swap(newTimes);
        values_.swap(newValues);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

float Envelope::valueAt(float t) const {
    const int n = pointCount();
    if (n == 0) return 0.0f;
    if (!(t > times_[0])) return values_[0];
    for (int i = 0; i + 1 < n; ++i) {
        const double t0 = times_[size_t(i)];
        const double t1 = times_[size_t(i) + 1];
        if (t > t1) continue;
        const double v0 = values_[size_t(i)];
        const double v1 = values_[size_t(i) + 1];
        // t > t0 here, so the segment has a duration.
        return static_cast<float>(v0 + (v1 - v0) * (double(t) - t0) / (t1 - t0));
    }
    return values_[size_t(n) - 1];
}

bool Envelope::isValid() const {
    const int n = pointCount();
    if (n < 2 || times_[0] != 0.0f || times_[size_t(n) - 1] != 1.0f) return false;
    for (int i = 0; i < n; ++i) {
        const float t = times_[size_t(i)];
        const float v = values_[size_t(i)];
        if (!(t >= 0.0f && t <= 1.0f) || !(v >= 0.0f && v <= 1.0f)) return false;
        if (i > 0 && t < times_[size_t(i) - 1]) return false;
    }
    return true;
}

std::string Envelope::toText() const {
    std::string text;
    char buffer[64];
    for (int i = 0; i < pointCount(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%g:%g", i ? " " : "", double(times_[size_t(i)]) * 100.0,
                      double(values_[size_t(i)]) * 100.0);
        text += buffer;
    }
    return text;
}

bool Envelope::fromText(const std::string& text) {
    std::vector<float> times;
    std::vector<float> values;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos) return false;
        char* end = nullptr;
        const double t = std::strtod(token.c_str(), &end);
        if (end != token.c_str() + colon) return false;
        const double v = std::strtod(token.c_str() + colon + 1, &end);
        if (*end != '\0') return false;
        times.push_back(static_cast<float>(t / 100.0));
        values.push_back(static_cast<float>(v / 100.0));
    }
    if (times.size() < 2) return false;
    return assign(times, values);
}

bool Envelope::operator==(const Envelope& other) const {
    return kind_ == other.kind_ && times_ == other.times_ && values_ == other.values_;
}
