#pragma once
// Diagnostic printers for the frame's own types: enumeration values by their words, and statuses
// with their code, message and first datum. They print to the current display stream.

#include <string>
#include <vector>

#include "companion/KQStatus.h"
#include "frame/BSNConst.h"

namespace KQBSN_850 {

class BSNComponentDisplay {
 public:
  /// Prints "label = word"; a number outside the enumeration prints " = unrecognized".
  static void DisplayC(const std::string& label, BSNConst::ModelTypes value);
  static void DisplayC(const std::string& label, BSNConst::MissScope value);
  static void DisplayC(const std::string& label, BSNConst::VarTypes value);
  static void DisplayC(const std::string& label, BSNConst::AnalysTypes value);
  static void DisplayC(const std::string& label, BSNConst::MethodTypes value);
  static void DisplayC(const std::string& label, BSNConst::EstBFTypes value);
  static void DisplayC(const std::string& label, BSNConst::PriorTypes value);
  static void DisplayC(const std::string& label, BSNConst::DistTypes value);
  static void DisplayC(const std::string& label, BSNConst::CorrTests value);
  static void DisplayC(const std::string& label, BSNConst::FixType value);
  static void DisplayC(const std::string& label, BSNConst::RegrCompute value);
  static void DisplayC(const std::string& label, BSNConst::CompareTypes value);
  /// As the others, except that a number outside the enumeration prints the label alone.
  static void DisplayC(const std::string& label, BSNConst::LogLinPriorType value);
  static void DisplayC(const std::string& label, BSNConst::OutputTypes value);

  /// The label, then whether it is an error, its code, its message and its discrete datum 0.
  static void DisplayStatus(const std::string& label, const KQCommon_850::KQStatus& status);
  /// The label, the number of statuses, then each status with its position.
  static void DisplayVStatus(const std::string& label, const std::vector<KQCommon_850::KQStatus>& statuses);
};

}  // namespace KQBSN_850
