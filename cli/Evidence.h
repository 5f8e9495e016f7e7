#pragma once
// Evidence: a Bayes factor in words, on Jeffreys' scale as Lee and Wagenmakers (2013) word it. A
// factor of B in favour of one hypothesis (B >= 1) is anecdotal evidence below 3, moderate below 10,
// strong below 30, very strong below 100 and extreme from 100 on; exactly 1 is no evidence either way.
// The judgement works on the logarithm, so factors stored as logarithms need no exponential.

#include <string>
#include <string_view>

namespace kqcli {

enum class EvidenceStrength { None, Anecdotal, Moderate, Strong, VeryStrong, Extreme };

struct Evidence {
  EvidenceStrength strength;
  bool favoursFirst;  ///< the factor's first hypothesis (the numerator) is the favoured one
};

/// Judges a factor given by its natural logarithm; the judgement of a missing or NaN logarithm is None.
Evidence JudgeLogFactor(double logFactor) noexcept;

/// "anecdotal", "moderate", ...; "no" for None.
std::string_view EvidenceWord(EvidenceStrength strength) noexcept;

/// The evidence a factor given by its logarithm gives, in words, without numbers: "moderate evidence
/// for H1 (mean != 0) over H0 (mean = 0)", or "no evidence either way between .. and ..". first and
/// second are the hypotheses of the factor's numerator and denominator; empty for a missing logarithm.
std::string EvidenceWording(double logFactor, std::string_view first, std::string_view second);

/// One line: the factor, its reciprocal, and the evidence in words with its direction, e.g.
/// "BF01 = 0.25 (BF10 = 4): moderate evidence for H1 (mean != 0) over H0 (mean = 0)".
/// first and second are the hypotheses of the numerator and the denominator; factorName names the
/// factor ("BF01") and reciprocalName its reciprocal ("BF10").
std::string EvidenceVerdict(double factor, bool isLog, std::string_view factorName,
                            std::string_view reciprocalName, std::string_view first, std::string_view second);

}  // namespace kqcli
