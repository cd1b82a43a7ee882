#include "core/Envelope.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

Envelope::Envelope(EnvelopeKind kind) : kind_(kind) { reset(kind); }

bool Envelope::own(Points& points) {
    if (points.use_count() == 1) {
        // A copy in another thread may just have let go: its reads come first.
        std::atomic_thread_fence(std::memory_order_acquire);
        return true;
    }
    try {
        points = std::make_shared<std::vector<float>>(*points);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Envelope::reset(EnvelopeKind kind) {
    const float value = kind == EnvelopeKind::Amplitude ? 0.75f : 0.5f;
    Points times = std::make_shared<std::vector<float>>(6, 0.0f);
    Points values = std::make_shared<std::vector<float>>(6, value);
    for (int i = 0; i < 6; ++i) (*times)[static_cast<size_t>(i)] = static_cast<float>(i) / 5.0f;
    if (kind == EnvelopeKind::Amplitude) (*values)[5] = 0.0f;
    kind_ = kind;
    times_ = std::move(times);
    values_ = std::move(values);
}

void Envelope::deletePoint(int index) {
    if (index <= 0 || index >= pointCount() - 1) return;
    if (!own(times_) || !own(values_)) return;
    times_->erase(times_->begin() + index);
    values_->erase(values_->begin() + index);
}

bool Envelope::insertPoint(float t, float v) {
    const int n = pointCount();
    if (n - 1 <= 0) return false;
    int segment = -1;
    for (int i = 0; i < n - 1; ++i)
        if (time(i) < t && t < time(i + 1)) segment = i;
    if (segment < 0) return false;
    if (!own(times_) || !own(values_)) return false;
    std::vector<float>& times = *times_;
    std::vector<float>& values = *values_;
    try {
        times.insert(times.begin() + segment + 1, t);
        try {
            values.insert(values.begin() + segment + 1, v);
        } catch (const std::bad_alloc&) {
            times.erase(times.begin() + segment + 1);
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
    float newTime = std::fmin(std::fmax(t, 0.0f), 1.0f);
    const float newValue = std::fmin(std::fmax(v, 0.0f), 1.0f);
    if (index > 0 && newTime < time(index - 1)) newTime = time(index - 1);
    if (index < last && newTime > time(index + 1)) newTime = time(index + 1);
    if (index == 0) newTime = 0.0f;
    if (index == last) newTime = 1.0f;
    // An array is written, and so made this envelope's own, only when its
    // entry changes: a value-only move leaves the times shared.
    const bool timeChanges = !sameBits(newTime, time(index));
    const bool valueChanges = !sameBits(newValue, value(index));
    if ((timeChanges && !own(times_)) || (valueChanges && !own(values_))) return;
    if (timeChanges) (*times_)[size_t(index)] = newTime;
    if (valueChanges) (*values_)[size_t(index)] = newValue;
}

void Envelope::shiftValues(float dv) {
    for (float value : *values_) {
        if (value + dv < 0.0f)
            dv = -value;
        else if (value + dv > 1.0f)
            dv = 1.0f - value;
    }
    // The times stay shared: only the values change.
    if (!own(values_)) return;
    for (float& value : *values_) value += dv;
}

bool Envelope::assign(const std::vector<float>& times, const std::vector<float>& values) {
    if (times.size() != values.size()) return false;
    try {
        Points newTimes = std::make_shared<std::vector<float>>(times);
        Points newValues = std::make_shared<std::vector<float>>(values);
        times_.swap(newTimes);
        values_.swap(newValues);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t Envelope::bytes() const {
    return (times_->capacity() + values_->capacity()) * sizeof(float) + 2 * sizeof(std::vector<float>);
}

size_t Envelope::bytesApartFrom(const Envelope& other) const {
    size_t total = 0;
    if (times_ != other.times_) total += times_->capacity() * sizeof(float) + sizeof(std::vector<float>);
    if (values_ != other.values_) total += values_->capacity() * sizeof(float) + sizeof(std::vector<float>);
    return total;
}

float Envelope::valueAt(float t) const {
    const std::vector<float>& times = *times_;
    const std::vector<float>& values = *values_;
    const int n = pointCount();
    if (n == 0) return 0.0f;
    if (!(t > times[0])) return values[0];
    for (int i = 0; i + 1 < n; ++i) {
        const double t0 = times[size_t(i)];
        const double t1 = times[size_t(i) + 1];
        if (t > t1) continue;
        const double v0 = values[size_t(i)];
        const double v1 = values[size_t(i) + 1];
        // t > t0 here, so the segment has a duration.
        return static_cast<float>(v0 + (v1 - v0) * (double(t) - t0) / (t1 - t0));
    }
    return values[size_t(n) - 1];
}

bool Envelope::isValid() const {
    const std::vector<float>& times = *times_;
    const std::vector<float>& values = *values_;
    const int n = pointCount();
    if (n < 2 || times[0] != 0.0f || times[size_t(n) - 1] != 1.0f) return false;
    for (int i = 0; i < n; ++i) {
        const float t = times[size_t(i)];
        const float v = values[size_t(i)];
        if (!(t >= 0.0f && t <= 1.0f) || !(v >= 0.0f && v <= 1.0f)) return false;
        if (i > 0 && t < times[size_t(i) - 1]) return false;
    }
    return true;
}

std::string Envelope::toText() const {
    std::string text;
    char buffer[64];
    for (int i = 0; i < pointCount(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%g:%g", i ? " " : "", double(time(i)) * 100.0,
                      double(value(i)) * 100.0);
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
    return kind_ == other.kind_ && (times_ == other.times_ || *times_ == *other.times_) &&
           (values_ == other.values_ || *values_ == *other.values_);
}
