#include "cli/Evidence.h"

#include <cmath>
#include <cstdio>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", value);
  return text;
}

}  // namespace

Evidence JudgeLogFactor(double logFactor) noexcept {
  if (KQCommon_850::KQMV::IsMissingOrNaN(logFactor) || logFactor == 0.0)
    return {EvidenceStrength::None, true};
  const double logInFavour = std::fabs(logFactor);
  EvidenceStrength strength = EvidenceStrength::Extreme;
  if (logInFavour < std::log(3.0))
    strength = EvidenceStrength::Anecdotal;
  else if (logInFavour < std::log(10.0))
    strength = EvidenceStrength::Moderate;
  else if (logInFavour < std::log(30.0))
    strength = EvidenceStrength::Strong;
  else if (logInFavour < std::log(100.0))
    strength = EvidenceStrength::VeryStrong;
  return {strength, logFactor > 0.0};
}

std::string_view EvidenceWord(EvidenceStrength strength) noexcept {
  switch (strength) {
    case EvidenceStrength::None:
      return "no";
    case EvidenceStrength::Anecdotal:
      return "anecdotal";
    case EvidenceStrength::Moderate:
      return "moderate";
    case EvidenceStrength::Strong:
      return "strong";
    case EvidenceStrength::VeryStrong:
      return "very strong";
    case EvidenceStrength::Extreme:
      return "extreme";
  }
  return "no";
}

std::string EvidenceVerdict(double factor, bool isLog, std::string_view factorName,
                            std::string_view reciprocalName, std::string_view first,
                            std::string_view second) {
  const std::string name(factorName);
  // A factor of 0 or infinity is one that left the double range without its logarithm: its size is
  // unknown, so no verdict is worded from it (the library keeps such factors as logarithms or missing).
  if (KQCommon_850::KQMV::IsMissingOrNaN(factor) || (!isLog && !(factor > 0.0 && std::isfinite(factor))))
    return name + " could not be computed";
  const double logFactor = isLog ? factor : std::log(factor);
  std::string line = name + " = " + (isLog ? "exp(" + Number(factor) + ")" : Number(factor)) + " (" +
                     std::string(reciprocalName) + " = " +
                     (isLog ? "exp(" + Number(-factor) + ")" : Number(1.0 / factor)) + "): ";
  return line + EvidenceWording(logFactor, first, second);
}

std::string EvidenceWording(double logFactor, std::string_view first, std::string_view second) {
  if (KQCommon_850::KQMV::IsMissingOrNaN(logFactor)) return {};
  const Evidence evidence = JudgeLogFactor(logFactor);
  if (evidence.strength == EvidenceStrength::None)
    return "no evidence either way between " + std::string(first) + " and " + std::string(second);
  const std::string_view favoured = evidence.favoursFirst ? first : second;
  const std::string_view other = evidence.favoursFirst ? second : first;
  return std::string(EvidenceWord(evidence.strength)) + " evidence for " + std::string(favoured) + " over " +
         std::string(other);
}

}  // namespace kqcli
