#include "core/EchoTail.h"

#include "core/SampleFormat.h"

#include <algorithm>

namespace echo_tail {
namespace {

// Long enough to amortise the copies, short enough for the stack and L1.
constexpr int32_t kBlock = 1024;

template <int Bits>
void renderWidth(uint8_t* out, int32_t from, int32_t count, int32_t d, float a) {
    using F = sample_format::Format<Bits>;
    const int32_t quiet = std::min(count, std::max(from, d));
    F::silence(out, from, quiet);
    // 0 + e x a x 0.5 == e x (a x 0.5): the halving is exact, and so is the
    // product of a sample and a float (an infinite a gives inf or NaN either way).
    const double h = double(a) * 0.5;
    // Stored samples lie within +-(full scale - 1), so with a volume of at
    // most 2 every product is a finite value already in range: truncating it
    // is all the store would do.
    const bool inRange = a <= 2.0f;
    typename F::Raw src[kBlock], dst[kBlock];
    for (int32_t n = quiet; n < count;) {
        const int32_t len = std::min({count - n, d, kBlock});  // the source lies wholly before n
        F::loadBlock(out, n - d, len, src);
        if (inRange) {
            for (int32_t i = 0; i < len; ++i) dst[i] = F::fromInRange(double(F::value(src[i])) * h);
        } else {
            for (int32_t i = 0; i < len; ++i) dst[i] = F::fromDouble(double(F::value(src[i])) * h);
        }
        F::storeBlock(out, n, len, dst);
        n += len;
    }
}

}  // namespace

void render(uint8_t* out, int bits, int32_t from, int32_t count, int32_t d, float a) {
    if (bits == 16)
        renderWidth<16>(out, from, count, d, a);
    else if (bits == 8)
        renderWidth<8>(out, from, count, d, a);
}

}  // namespace echo_tail
