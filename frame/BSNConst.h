#pragma once
// The enumerations of the settings. Each is a 32-bit value; a host may store any number in a
// field, and code that switches on one treats a value outside its enumeration as unsupported.

#include <cstdint>

namespace KQBSN_850::BSNConst {

enum class ModelTypes : std::int32_t {
  OneSample = 0,
  Related = 1,
  Independent = 2,
  Correlation = 3,
  Regression = 4,
  Anova = 5,
  LogLinear = 6
};
enum class MissScope : std::int32_t { MissingAnalysis = 0, MissingListwise = 1 };
enum class VarTypes : std::int32_t { Unspecified = 0, FrequencyWeight = 1, Factor = 2, Covariate = 3 };
enum class AnalysTypes : std::int32_t { Posterior = 0, BayesFactor = 1, Both = 2 };
enum class MethodTypes : std::int32_t { AQL = 0, MCA = 1 };
enum class EstBFTypes : std::int32_t { JZS = 0, Simple = 1, Fraction = 2, Custom = 3 };
enum class PriorTypes : std::int32_t { Conjugate = 0, Reference = 1, Custom = 2 };
enum class DistTypes : std::int32_t {
  Normal = 0,
  Binomial = 1,
  Poisson = 2,
  ChiSquare = 3,
  InverseChiSquare = 4,
  Gamma = 5,
  InverseGamma = 6,
  Jeffreys2 = 7,
  Jeffreys4 = 8,
  Diffuse = 9,
  Multinomial = 10,
  Nonparametric = 11
};
enum class CorrTests : std::int32_t { Pearson = 0, Spearman = 1, Kendall = 2 };
enum class FixType : std::int32_t { FixedTotal = 0, FixedColumn = 1, FixedRow = 2 };
enum class RegrCompute : std::int32_t { Siow = 0, Zellner = 1, Hyper = 2, Rouder = 3, Gonen = 4 };
enum class CompareTypes : std::int32_t { Null = 0, Full = 1 };
enum class LogLinPriorType : std::int32_t { Conjugate = 0, Dirichlet = 1, Intrinsic = 2 };
enum class OutputTypes : std::int32_t {
  Output1SampleBinomial = 0,
  Output1SamplePoisson = 1,
  Output1SampleNormal = 2,
  Output2SampleRelated = 3,
  Output2SampleIndependent = 4,
  OutputCorrelation = 5,
  OutputRegression = 6,
  OutputAnova = 7,
  OutputLogLinear = 8
};

/// The underlying number of an enumeration value.
template <class Enum>
constexpr std::int32_t ToInt(Enum value) noexcept {
  return static_cast<std::int32_t>(value);
}

}  // namespace KQBSN_850::BSNConst
