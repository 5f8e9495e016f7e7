#pragma once
// Conversion of plain decimals ("-12.345678") while they are scanned: the runs of digits on either side
// of the point found by one 16-byte compare (eight bytes at a time where SSE2 is missing), their values
// read eight bytes at a time, and the number formed by one correctly rounded division, the same double
// std::from_chars gives.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kqcli::csv {

inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline std::uint64_t LoadEightBytes(const char* p) noexcept {
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

/// How many of the eight bytes of word (the first in the lowest byte) lead with decimal digits. A
/// byte is a digit when its high nibble is 3 and adding 6 keeps it so; a carry out of a byte of 0xFA
/// or more only disturbs the bytes after it.
inline std::size_t CountLeadingDigits(std::uint64_t word) noexcept {
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
  constexpr std::uint64_t kThrees = 0x3030303030303030;
  const std::uint64_t notDigits =
      ((word & kHighNibbles) ^ kThrees) | (((word + 0x0606060606060606) & kHighNibbles) ^ kThrees);
  return notDigits == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(notDigits)) / 8;
}

#if defined(__SSE2__)
/// Bit i set when byte i of the 16 at p is a decimal digit; the bits above 15 are clear.
inline unsigned DigitMask(const char* p) noexcept {
  const __m128i digits =
      _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8('0'));
  // A byte is a digit when, less '0', it is at most 9 as an unsigned byte.
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(digits, _mm_set1_epi8(9)), digits)));
}
#endif

/// The value of the first nDigits (at most 7) digits of word. Shifting them to the top of the word
/// drops the bytes after them and puts zeros, that is leading zero digits, before them; the three
/// multiply-and-add steps then combine pairs, quadruples and the two halves.
inline std::uint64_t EightDigitsValue(std::uint64_t word, std::size_t nDigits) noexcept {
  if (nDigits == 0) return 0;
  std::uint64_t digits = (word - 0x3030303030303030) << (8 * (8 - nDigits));
  digits = digits * 10 + (digits >> 8);
  constexpr std::uint64_t kMask = 0x000000FF000000FF;
  constexpr std::uint64_t kHundredAndMillion = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kOneAndTenThousand = 1 + (std::uint64_t{10000} << 32);
  return (((digits & kMask) * kHundredAndMillion) + (((digits >> 16) & kMask) * kOneAndTenThousand)) >> 32;
}

inline constexpr std::uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

/// Converts a plain decimal at p: an optional '-', digits, an optional '.' and digits, at least one
/// digit in all. It succeeds only when the digits, read as an integer m with k of them after the
/// point, satisfy m <= 2^53 and k <= 22: then m and 10^k are exact doubles and one correctly rounded
/// division gives the correctly rounded value of m / 10^k, the same double std::from_chars returns.
/// Anything else (more digits, an exponent, a '+') is left to std::from_chars. Where 18 bytes can be
/// read, numbers of up to 7 digits on either side of the point are read eight bytes at a time.
inline bool ParsePlainDecimal(const char* p, const char* end, double& value, const char*& after) noexcept {
  const bool negative = p < end && *p == '-';
  p += negative ? 1 : 0;
  std::uint64_t mantissa = 0;
  std::size_t nDigits = 0;
  std::size_t nDecimals = 0;
  bool done = false;
  if constexpr (std::endian::native == std::endian::little) {
    if (end - p >= 17) {
      const std::uint64_t integerWord = LoadEightBytes(p);
#if defined(__SSE2__)
      // Which of the 16 bytes at p are digits, compared at once: both runs of digits are counted
      // from it.
      const unsigned notDigits = ~DigitMask(p);
      const auto nIntegerDigits = static_cast<std::size_t>(std::countr_zero(notDigits));
#else
      const std::size_t nIntegerDigits = CountLeadingDigits(integerWord);
#endif
      const char* q = p + nIntegerDigits;
      if (nIntegerDigits < 8) {
        mantissa = EightDigitsValue(integerWord, nIntegerDigits);
        if (*q == '.') {
          const std::uint64_t decimalWord = LoadEightBytes(++q);
#if defined(__SSE2__)
          nDecimals = static_cast<std::size_t>(std::countr_zero(notDigits >> (nIntegerDigits + 1)));
#else
          nDecimals = CountLeadingDigits(decimalWord);
#endif
          if (nDecimals < 8) {
            mantissa = mantissa * kIntegerPowersOfTen[nDecimals] + EightDigitsValue(decimalWord, nDecimals);
            q += nDecimals;
            done = true;
          }
        } else {
          done = true;
        }
      }
      if (done) {
        nDigits = nIntegerDigits + nDecimals;
        p = q;
      } else {
        mantissa = 0;
        nDecimals = 0;
      }
    }
  }
  if (!done) {
    // One digit at a time; past 19 digits the value may wrap, but such a number is refused below.
    const auto isDigit = [end](const char* c) {
      return c < end && static_cast<unsigned char>(*c - '0') < 10;
    };
    const char* const digitsStart = p;
    for (; isDigit(p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    const bool hasPoint = p < end && *p == '.';
    if (hasPoint) {
      const char* const decimalsStart = ++p;
      for (; isDigit(p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
      nDecimals = static_cast<std::size_t>(p - decimalsStart);
    }
    nDigits = static_cast<std::size_t>(p - digitsStart) - (hasPoint ? 1 : 0);
  }
  if (nDigits == 0 || nDigits > 19 || nDecimals > 22 || mantissa > (std::uint64_t{1} << 53)) return false;
  // The sign is set as a bit: a branch on it would be mispredicted on half of the cells of data
  // centred on zero.
  const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[nDecimals];
  value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) | (std::uint64_t{negative} << 63));
  after = p;
  return true;
}

}  // namespace kqcli::csv
