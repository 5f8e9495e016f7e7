#include "frame/detail/EnumWords.h"

#include <array>

namespace KQBSN_850 {
namespace {

template <std::size_t N, class Enum>
std::string_view Word(const std::array<std::string_view, N>& words, Enum value) noexcept {
  const auto i = BSNConst::ToInt(value);
  return i >= 0 && static_cast<std::size_t>(i) < N ? words[static_cast<std::size_t>(i)] : std::string_view{};
}

constexpr std::array<std::string_view, 7> kModelTypes{"One-Sample", "Related", "Independent", "Correlation",
                                                      "Regression", "Anova",   "LogLinear"};
constexpr std::array<std::string_view, 2> kMissScope{"Missing Analysis", "Missing Listwise"};
constexpr std::array<std::string_view, 4> kVarTypes{"unspecified", "Frequency Weight", "Factor", "Covariate"};
constexpr std::array<std::string_view, 3> kAnalysTypes{"Posterior", "Bayes Factor", "Both"};
constexpr std::array<std::string_view, 2> kMethodTypes{"AQL", "MCA"};
constexpr std::array<std::string_view, 4> kEstBFTypes{"JZS", "Simple", "Fraction", "Custom"};
constexpr std::array<std::string_view, 3> kPriorTypes{"Conjugate", "Reference", "Custom"};
constexpr std::array<std::string_view, 12> kDistTypes{
    "Normal",        "Binomial",   "Poisson",    "Chi-Square", "Inverse Chi-Square", "Gamma",
    "Inverse Gamma", "Jeffreys 2", "Jeffreys 4", "Diffuse",    "Multinomial",        "Nonparametric"};
constexpr std::array<std::string_view, 3> kCorrTests{"Pearson", "Spearman", "Kendall"};
constexpr std::array<std::string_view, 3> kFixType{"Fixed Total", "Fixed Column", "Fixed Row"};
constexpr std::array<std::string_view, 5> kRegrCompute{"Siow", "Zellner", "Hyper", "Rouder", "Gonen"};
constexpr std::array<std::string_view, 2> kCompareTypes{"Null", "Full"};
constexpr std::array<std::string_view, 3> kLogLinPriorType{"Conjugate", "Dirichlet", "Intrinsic"};
constexpr std::array<std::string_view, 9> kOutputTypes{"Output 1 Sample Binomial",
                                                       "Output 1 Sample Poisson",
                                                       "Output 1 Sample Normal",
                                                       "Output 2 Sample Related",
                                                       "Output 2 Sample Independent",
                                                       "Output Correllation",
                                                       "Output Regression",
                                                       "Output Anova",
                                                       "Output LogLinear"};

}  // namespace

std::string_view EnumWord(BSNConst::ModelTypes value) noexcept { return Word(kModelTypes, value); }
std::string_view EnumWord(BSNConst::MissScope value) noexcept { return Word(kMissScope, value); }
std::string_view EnumWord(BSNConst::VarTypes value) noexcept { return Word(kVarTypes, value); }
std::string_view EnumWord(BSNConst::AnalysTypes value) noexcept { return Word(kAnalysTypes, value); }
std::string_view EnumWord(BSNConst::MethodTypes value) noexcept { return Word(kMethodTypes, value); }
std::string_view EnumWord(BSNConst::EstBFTypes value) noexcept { return Word(kEstBFTypes, value); }
std::string_view EnumWord(BSNConst::PriorTypes value) noexcept { return Word(kPriorTypes, value); }
std::string_view EnumWord(BSNConst::DistTypes value) noexcept { return Word(kDistTypes, value); }
std::string_view EnumWord(BSNConst::CorrTests value) noexcept { return Word(kCorrTests, value); }
std::string_view EnumWord(BSNConst::FixType value) noexcept { return Word(kFixType, value); }
std::string_view EnumWord(BSNConst::RegrCompute value) noexcept { return Word(kRegrCompute, value); }
std::string_view EnumWord(BSNConst::CompareTypes value) noexcept { return Word(kCompareTypes, value); }
std::string_view EnumWord(BSNConst::LogLinPriorType value) noexcept { return Word(kLogLinPriorType, value); }
std::string_view EnumWord(BSNConst::OutputTypes value) noexcept { return Word(kOutputTypes, value); }

}  // namespace KQBSN_850
