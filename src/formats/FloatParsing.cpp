#include "formats/FloatText.h"

#include <cstdint>
#include <cstring>

// The decimal is read into an exact integer D and a power of ten, D * 10^F =
// D * 5^F * 2^F, so only the power of five needs big integers: one quotient
// (D * 2^s) / 5^-F or one product D * 5^F gives the 27 leading bits and a
// remainder, and those round once, to the nearest float.
namespace floattext {

namespace {

__extension__ typedef unsigned __int128 U128;

// Every float and every midpoint between two floats has at most 113
// significant digits, so the digits past the first kKeptDigits only matter as
// "something more": one nonzero digit stands in for them.
constexpr int kKeptDigits = 120;

// An unsigned integer of up to kLimbs * 32 bits, least significant limb first.
// The largest needed: D of 121 digits (402 bits) shifted by 28 bits.
class BigNumber {
public:
    static constexpr int kLimbs = 18;

    explicit BigNumber(uint32_t value = 0) {
        if (value != 0) limbs_[size_++] = value;
    }

    void multiplyAdd(uint32_t factor, uint32_t addend) {
        uint64_t carry = addend;
        for (int i = 0; i < size_; ++i) {
            const uint64_t product = uint64_t(limbs_[i]) * factor + carry;
            limbs_[i] = uint32_t(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_[size_++] = uint32_t(carry);
    }

    void multiplyByPowerOf5(int64_t k) {
        constexpr uint32_t kFive13 = 1220703125;  // the largest power of 5 below 2^32
        for (; k >= 13; k -= 13) multiplyAdd(kFive13, 0);
        uint32_t rest = 1;
        for (; k > 0; --k) rest *= 5;
        multiplyAdd(rest, 0);
    }

    void shiftLeft(int bits) {
        if (size_ == 0 || bits == 0) return;
        const int whole = bits / 32, part = bits % 32;
        uint32_t shifted[kLimbs + 1] = {};
        for (int i = 0; i < size_; ++i) {
            const uint64_t wide = uint64_t(limbs_[i]) << part;
            shifted[i + whole] |= uint32_t(wide);
            shifted[i + whole + 1] |= uint32_t(wide >> 32);
        }
        size_ += whole + 1;
        std::memcpy(limbs_, shifted, sizeof limbs_);
        trim();
    }

    int bitLength() const {
        if (size_ == 0) return 0;
        int bits = 32 * (size_ - 1);
        for (uint32_t top = limbs_[size_ - 1]; top != 0; top >>= 1) ++bits;
        return bits;
    }

    bool isZero() const { return size_ == 0; }

    int compare(const BigNumber& other) const {
        if (size_ != other.size_) return size_ < other.size_ ? -1 : 1;
        for (int i = size_ - 1; i >= 0; --i)
            if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
        return 0;
    }

    // *this -= other, where other <= *this.
    void subtract(const BigNumber& other) {
        int64_t borrow = 0;
        for (int i = 0; i < size_; ++i) {
            const int64_t difference = int64_t(limbs_[i]) - (i < other.size_ ? other.limbs_[i] : 0) - borrow;
            borrow = difference < 0 ? 1 : 0;
            limbs_[i] = uint32_t(difference + (borrow << 32));
        }
        trim();
    }

    // The value, when it has at most 128 bits.
    U128 low128() const {
        U128 value = 0;
        for (int i = size_ - 1; i >= 0; --i) value = value << 32 | limbs_[i];
        return value;
    }

private:
    void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }

    uint32_t limbs_[kLimbs] = {};
    int size_ = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Adds to an exponent without leaving a range far wider than any float's.
int64_t saturated(int64_t value) {
    constexpr int64_t kLimit = int64_t(1) << 40;
    return value > kLimit ? kLimit : value < -kLimit ? -kLimit : value;
}

// The nearest float to num / den * 2^binaryExponent, where num and den are
// nonzero; OutOfRange when that is infinity or zero.
ParseStatus nearest(BigNumber num, BigNumber den, int64_t binaryExponent, uint32_t& bits) {
    // Scale so that the quotient has 26 or 27 bits.
    const int shift = 26 - (num.bitLength() - den.bitLength());
    if (shift > 0) num.shiftLeft(shift);
    if (shift < 0) den.shiftLeft(-shift);
    uint64_t quotient = 0;
    bool sticky;
    if (num.bitLength() <= 128 && den.bitLength() <= 128) {
        // The short numbers most texts have: one machine division.
        const U128 n = num.low128(), d = den.low128();
        quotient = uint64_t(n / d);
        sticky = n % d != 0;
    } else {
        for (int bit = 27; bit >= 0; --bit) {
            BigNumber step = den;
            step.shiftLeft(bit);
            if (num.compare(step) >= 0) {
                num.subtract(step);
                quotient |= uint64_t(1) << bit;
            }
        }
        sticky = !num.isZero();
    }
    const int64_t lowExponent = binaryExponent - shift;  // of the quotient's last bit
    int length = 0;
    for (uint64_t q = quotient; q != 0; q >>= 1) ++length;

    // Keep 24 bits, or fewer where the result is subnormal.
    int64_t drop = length - 24;
    if (drop < -149 - lowExponent) drop = -149 - lowExponent;
    if (drop > length) return ParseStatus::OutOfRange;  // below half the smallest float
    uint64_t mantissa = quotient >> drop;
    const uint64_t rest = quotient & ((uint64_t(1) << drop) - 1);
    const uint64_t half = uint64_t(1) << (drop - 1);
    if (rest > half || (rest == half && (sticky || (mantissa & 1)))) ++mantissa;
    int64_t exponent = lowExponent + drop;
    if (mantissa == 0) return ParseStatus::OutOfRange;
    if (mantissa == (uint64_t(1) << 24)) {
        mantissa >>= 1;
        ++exponent;
    }
    if (mantissa < (uint64_t(1) << 23)) {
        bits = uint32_t(mantissa);  // subnormal: the exponent is the smallest
        return ParseStatus::Ok;
    }
    if (exponent > 104) return ParseStatus::OutOfRange;
    bits = uint32_t(exponent + 150) << 23 | uint32_t(mantissa & 0x7FFFFF);
    return ParseStatus::Ok;
}

}  // namespace

ParseStatus parse(std::string_view text, float& out) {
    const char* at = text.data();
    const char* const end = at + text.size();
    const bool negative = at != end && *at == '-';
    if (negative) ++at;

    // The digits, without the leading zeros, as D (the first kKeptDigits and a
    // stand-in for the rest) and the power of ten of D's last digit.
    BigNumber digits;
    int kept = 0;
    bool more = false;
    int64_t pointShift = 0;  // digits after the point, made negative, less those dropped
    uint32_t chunk = 0;
    int chunkDigits = 0;
    auto take = [&](char c, bool fraction) {
        const int digit = c - '0';
        if (kept == 0 && digit == 0) {
            if (fraction) --pointShift;
            return;
        }
        if (kept == kKeptDigits) {
            more |= digit != 0;
            if (!fraction) ++pointShift;
            return;
        }
        if (fraction) --pointShift;
        chunk = chunk * 10 + uint32_t(digit);
        ++kept;
        if (++chunkDigits == 9) {
            digits.multiplyAdd(1000000000, chunk);
            chunk = 0;
            chunkDigits = 0;
        }
    };

    if (at == end || !isDigit(*at)) return ParseStatus::Invalid;
    if (*at == '0') {
        ++at;
    } else {
        while (at != end && isDigit(*at)) take(*at++, false);
    }
    if (at != end && *at == '.') {
        ++at;
        if (at == end || !isDigit(*at)) return ParseStatus::Invalid;
        while (at != end && isDigit(*at)) take(*at++, true);
    }
    int64_t exponent = 0;
    if (at != end && (*at == 'e' || *at == 'E')) {
        ++at;
        const bool negativeExponent = at != end && *at == '-';
        if (at != end && (*at == '-' || *at == '+')) ++at;
        if (at == end || !isDigit(*at)) return ParseStatus::Invalid;
        for (; at != end && isDigit(*at); ++at) exponent = saturated(exponent * 10 + (*at - '0'));
        if (negativeExponent) exponent = -exponent;
    }
    if (at != end) return ParseStatus::Invalid;

    uint32_t scale = 1;
    for (int i = 0; i < chunkDigits; ++i) scale *= 10;
    digits.multiplyAdd(scale, chunk);
    if (more) {
        digits.multiplyAdd(10, 1);
        ++kept;
        --pointShift;
    }

    uint32_t bits = 0;
    if (kept > 0) {
        const int64_t power = saturated(pointShift + exponent);  // D * 10^power
        const int64_t leading = power + kept - 1;                // of D's first digit
        // Below 10^-46 is below half the smallest float; from 10^39 on is
        // past the largest.
        if (leading < -46 || leading > 38) return ParseStatus::OutOfRange;
        BigNumber den(1);
        if (power >= 0) {
            digits.multiplyByPowerOf5(power);
        } else {
            den.multiplyByPowerOf5(-power);
        }
        const ParseStatus status = nearest(digits, den, power, bits);
        if (status != ParseStatus::Ok) return status;
    }
    if (negative) bits |= uint32_t(1) << 31;
    std::memcpy(&out, &bits, sizeof out);
    return ParseStatus::Ok;
}

}  // namespace floattext
