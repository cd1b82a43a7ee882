#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Which curve an envelope is. The numbers are stored in nothing, but they
// match the order in which the two curves are kept everywhere (amplitude first).
enum class EnvelopeKind : int32_t { Amplitude = 0, Frequency = 1 };

// A breakpoint curve over the main part of a sound: parallel arrays of times
// (0..1, non-decreasing, first 0, last 1) and values (0..1), at least 2 points.
// Every editing operation keeps those invariants; assign() takes loaded points
// as they are, so loaders must repair or reject before handing them over.
//
// Copies share their arrays until one of them changes: each array is copied
// on its first change in one copy, so that the many snapshots of a sound the
// undo history keeps cost nothing for the curves an edit leaves alone. Copies
// may live in different threads; one Envelope object is not for two threads.
class Envelope {
public:
    explicit Envelope(EnvelopeKind kind = EnvelopeKind::Amplitude);
    // No move operations: a moved-from envelope keeps its points (copying
    // costs two shared pointers).
    Envelope(const Envelope&) = default;
    Envelope& operator=(const Envelope&) = default;

    // The default six points: times 0, .2, .4, .6, .8, 1; amplitude 0.75 with
    // the last at 0, frequency 0.5 (220 Hz) throughout.
    void reset(EnvelopeKind kind);
    void reset() { reset(kind_); }

    // Removes an inner point; the first and the last cannot be removed.
    void deletePoint(int index);
    // Adds (t, v) inside the last segment with times[i] < t < times[i+1];
    // false when t lies on a point's time or in no segment.
    bool insertPoint(float t, float v);
    // Puts one point at (t, v), then clamps it to the unit square and between
    // its neighbours' times; the end points keep times 0 and 1.
    void movePoint(int index, float t, float v);
    // Moves every value by dv, shrunk so that all stay within 0..1.
    // Each of these four leaves the envelope as it was when memory for its
    // own copy of a shared array cannot be had.
    void shiftValues(float dv);

    // Replaces the points whole (loading). False, and nothing changed, when the
    // arrays differ in length or memory cannot be had.
    bool assign(const std::vector<float>& times, const std::vector<float>& values);

    int pointCount() const { return static_cast<int>(times_->size()); }
    float time(int i) const { return (*times_)[static_cast<size_t>(i)]; }
    float value(int i) const { return (*values_)[static_cast<size_t>(i)]; }
    const std::vector<float>& times() const { return *times_; }
    const std::vector<float>& values() const { return *values_; }
    EnvelopeKind kind() const { return kind_; }

    // The memory of the two arrays, leaving out each one that `other` shares:
    // what keeping this copy beside `other` costs.
    size_t bytesApartFrom(const Envelope& other) const;
    size_t bytes() const;

    // The curve's value at time t, on the straight line of the segment that
    // holds t. A point exactly at t belongs to the segment that ends there, as
    // in the renderer, so on a vertical step the earlier value counts. Times
    // before the first point or after the last take the end values.
    float valueAt(float t) const;

    // True when the curve satisfies every invariant listed above.
    bool isValid() const;

    // "t:v t:v ..." with both in percent, e.g. "0:75 20:75 40:75 60:75 80:75 100:0".
    std::string toText() const;
    // Parses the form toText() writes; false on anything malformed.
    bool fromText(const std::string& text);

    bool operator==(const Envelope& other) const;
    bool operator!=(const Envelope& other) const { return !(*this == other); }

private:
    using Points = std::shared_ptr<std::vector<float>>;
    // Makes `points` this envelope's alone before a change (a copy when it is
    // shared); false, and nothing changed, when memory cannot be had.
    static bool own(Points& points);

    EnvelopeKind kind_;
    Points times_;  // never null
    Points values_;
};
