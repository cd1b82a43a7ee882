#include "formats/FloatText.h"

#include <cstdint>
#include <cstring>

// The shortest digits come from exact integers: the float and the two
// midpoints to its neighbours are M * 2^E with M < 2^26, scaled by a power of
// ten once (a 192-bit product or a 128-bit quotient), then cut one decimal
// digit at a time while a multiple of the next power of ten still lies
// between the midpoints.
namespace floattext {

namespace {

__extension__ typedef unsigned __int128 U128;

struct Scaled {
    uint64_t value;  // floor(x * 10^-p)
    bool exact;      // nothing was cut off
};

U128 powerOf5(int k) {
    U128 p = 1;
    for (int i = 0; i < k; ++i) p *= 5;
    return p;
}

// floor(log10(2^e)) for |e| < 1650.
int floorLog10Pow2(int e) {
    const int64_t scaled = int64_t(e) * 78913;
    return int(scaled >= 0 ? scaled >> 18 : -((-scaled + (1 << 18) - 1) >> 18));
}

// M * 2^E * 10^-p for the ranges a float needs (M < 2^26, -151 <= E <= 102,
// the result below 2^40).
Scaled scale(uint64_t m, int e, int p) {
    if (p <= 0) {
        // M * 5^k * 2^(E+k) as a 192-bit product, shifted.
        const int k = -p;
        const U128 five = powerOf5(k);
        const U128 low = U128(m) * uint64_t(five);
        const U128 high = U128(m) * uint64_t(five >> 64) + (low >> 64);
        const uint64_t low64 = uint64_t(low);
        const int shift = e + k;
        if (shift >= 0) return {uint64_t(((high << 64) | low64) << shift), true};
        const int right = -shift;
        if (right >= 64) {
            const int rest = right - 64;
            const U128 mask = (U128(1) << rest) - 1;
            return {uint64_t(high >> rest), low64 == 0 && (high & mask) == 0};
        }
        const uint64_t mask = (uint64_t(1) << right) - 1;
        return {uint64_t((high << (64 - right)) | (low64 >> right)), (low64 & mask) == 0};
    }
    // M * 2^(E-p) / 5^p.
    U128 numerator;
    bool exact = true;
    if (e >= p) {
        numerator = U128(m) << (e - p);
    } else {
        const int right = p - e;
        numerator = right >= 64 ? 0 : U128(m >> right);
        exact = right >= 64 ? m == 0 : (m & ((uint64_t(1) << right) - 1)) == 0;
    }
    const U128 five = powerOf5(p);
    return {uint64_t(numerator / five), exact && numerator % five == 0};
}

struct Decimal {
    uint64_t digits;  // no trailing zero
    int exponent;     // of the last digit
};

// The shortest decimal between the midpoints around m * 2^e (bounds included
// when m is even, as a tie rounds to the even neighbour), and of those the
// nearest, ties to even.
Decimal shortest(uint64_t m, int e, bool lowerGapHalved) {
    const int scaledE = e - 2;
    const uint64_t mv = 4 * m, mu = 4 * m + 2, ml = lowerGapHalved ? 4 * m - 1 : 4 * m - 2;
    const bool inclusive = (m & 1) == 0;
    // The midpoints are at least 3 * 2^scaledE apart, so a multiple of
    // 10^floorLog10Pow2(scaledE) lies between them; start one digit below it.
    int p = floorLog10Pow2(scaledE) - 1;
    Scaled lo = scale(ml, scaledE, p), mid = scale(mv, scaledE, p), hi = scale(mu, scaledE, p);
    int lastDigit = 0;
    bool zerosBelow = true;
    auto fits = [inclusive](const Scaled& low, const Scaled& high) {
        const uint64_t first = low.value + (low.exact && inclusive ? 0 : 1);
        const uint64_t below = high.exact && !inclusive ? 1 : 0;
        return first + below <= high.value;
    };
    for (;;) {
        const Scaled lo10{lo.value / 10, lo.exact && lo.value % 10 == 0};
        const Scaled hi10{hi.value / 10, hi.exact && hi.value % 10 == 0};
        if (!fits(lo10, hi10)) break;
        lastDigit = int(mid.value % 10);
        zerosBelow = mid.exact;
        mid = {mid.value / 10, mid.exact && lastDigit == 0};
        lo = lo10;
        hi = hi10;
        ++p;
    }
    uint64_t k = mid.value;
    if (lastDigit > 5 || (lastDigit == 5 && (!zerosBelow || (k & 1)))) ++k;
    const uint64_t first = lo.value + (lo.exact && inclusive ? 0 : 1);
    const uint64_t last = hi.value - (hi.exact && !inclusive ? 1 : 0);
    if (k < first) k = first;
    if (k > last) k = last;
    return {k, p};
}

char* writeUnsigned(char* out, uint64_t value) {
    char reversed[20];
    int n = 0;
    do {
        reversed[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) *out++ = reversed[--n];
    return out;
}

int digitCount(uint64_t value) {
    int n = 1;
    while (value >= 10) {
        value /= 10;
        ++n;
    }
    return n;
}

char* copy(char* out, const char* text) {
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

}  // namespace

char* write(char* first, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const uint32_t field = (bits >> 23) & 0xFF;
    const uint32_t fraction = bits & 0x7FFFFF;
    char* out = first;
    if (negative) *out++ = '-';
    if (field == 0xFF) return copy(out, fraction != 0 ? "nan" : "inf");
    if (field == 0 && fraction == 0) {
        *out++ = '0';
        return out;
    }
    const uint64_t m = field == 0 ? fraction : fraction | 0x800000;
    const int e = field == 0 ? -149 : int(field) - 150;
    const Decimal d = shortest(m, e, field > 1 && fraction == 0);

    const int n = digitCount(d.digits);
    const int point = d.exponent + n - 1;  // the exponent in scientific form
    const int scientificLength = n + (n > 1 ? 1 : 0) + 4;
    const int fixedLength = point >= n - 1 ? point + 1 : point >= 0 ? n + 1 : n + 1 - point;

    char digits[20];
    writeUnsigned(digits, d.digits);
    if (fixedLength <= scientificLength) {
        if (point >= n - 1) {
            // A whole number is written whole, with the float's own digits:
            // as many characters as the shortest digits padded with zeros,
            // and nearer to the value.
            return writeUnsigned(out, e >= 0 ? m << e : m >> -e);
        }
        if (point >= 0) {
            std::memcpy(out, digits, size_t(point + 1));
            out += point + 1;
            *out++ = '.';
            std::memcpy(out, digits + point + 1, size_t(n - point - 1));
            return out + (n - point - 1);
        }
        *out++ = '0';
        *out++ = '.';
        for (int i = 0; i < -point - 1; ++i) *out++ = '0';
        std::memcpy(out, digits, size_t(n));
        return out + n;
    }
    *out++ = digits[0];
    if (n > 1) {
        *out++ = '.';
        std::memcpy(out, digits + 1, size_t(n - 1));
        out += n - 1;
    }
    *out++ = 'e';
    *out++ = point < 0 ? '-' : '+';
    const int magnitude = point < 0 ? -point : point;
    if (magnitude < 10) *out++ = '0';
    return writeUnsigned(out, uint64_t(magnitude));
}

std::string text(float value) {
    char buffer[kMaxChars];
    return std::string(buffer, write(buffer, value));
}

}  // namespace floattext
