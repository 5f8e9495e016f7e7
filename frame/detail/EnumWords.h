#pragma once
// The display word of each enumeration value ("Correlation" for model type 3 and so on).

#include <string_view>

#include "frame/BSNConst.h"

namespace KQBSN_850 {

/// The word of a value; empty for a number outside its enumeration.
std::string_view EnumWord(BSNConst::ModelTypes value) noexcept;
std::string_view EnumWord(BSNConst::MissScope value) noexcept;
std::string_view EnumWord(BSNConst::VarTypes value) noexcept;
std::string_view EnumWord(BSNConst::AnalysTypes value) noexcept;
std::string_view EnumWord(BSNConst::MethodTypes value) noexcept;
std::string_view EnumWord(BSNConst::EstBFTypes value) noexcept;
std::string_view EnumWord(BSNConst::PriorTypes value) noexcept;
std::string_view EnumWord(BSNConst::DistTypes value) noexcept;
std::string_view EnumWord(BSNConst::CorrTests value) noexcept;
std::string_view EnumWord(BSNConst::FixType value) noexcept;
std::string_view EnumWord(BSNConst::RegrCompute value) noexcept;
std::string_view EnumWord(BSNConst::CompareTypes value) noexcept;
std::string_view EnumWord(BSNConst::LogLinPriorType value) noexcept;
std::string_view EnumWord(BSNConst::OutputTypes value) noexcept;

}  // namespace KQBSN_850
