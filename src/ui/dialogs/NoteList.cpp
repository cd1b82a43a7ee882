#include "ui/dialogs/NoteList.h"

#include <cmath>

namespace note_list {

namespace {

constexpr double kSemitone = 1.059463094359;

}  // namespace

QString name(int k) {
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
    if (k < 0 || k >= kCount) return QString();
    return QString::asprintf("[%d] %s", k / 12, names[k % 12]);
}

double hz(int k) { return 440.0 * std::pow(kSemitone, k - kA440); }

int nearest(float hz) {
    // 1/440 as a float, as the pitch has always been compared with it.
    const double s = std::log(double(hz) * double(0.0022727272f)) / std::log(kSemitone);
    // Nothing sensible (no pitch, or an absurd one) ends at the nearer end.
    if (!(s > -1000.0)) return 0;
    if (s > 1000.0) return kCount - 1;
    int k = s > 0.0 ? static_cast<int>(s + 0.5) : static_cast<int>(s - 0.5);
    k += kA440;
    if (k < 0) k = 0;
    if (k > kCount - 1) k = kCount - 1;
    return k;
}

}  // namespace note_list
