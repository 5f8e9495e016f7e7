#include "frame/BSNComponentDisplay.h"

#include "companion/KQDisplay.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/EnumWords.h"

namespace KQBSN_850 {

using namespace KQDisplay_850;

namespace {

template <class Enum>
void DisplayWord(const std::string& label, Enum value) {
  const std::string_view word = EnumWord(value);
  DisplayText(1, label + " = " + std::string(word.empty() ? "unrecognized" : word));
}

void DisplayStatusItems(const KQCommon_850::KQStatus& status) {
  DisplayB("IsError", status.IsError());
  DisplayI("error code", status.GetErrorCode());
  std::string text;
  StatusMessageText(status.GetErrorCode(), text);
  DisplayText(1, text);
  DisplayI("Discrete Datum 0", static_cast<int>(status.GetDiscreteDatum(0)));
}

}  // namespace

void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::ModelTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::MissScope value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::VarTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::AnalysTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::MethodTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::EstBFTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::PriorTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::DistTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::CorrTests value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::FixType value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::RegrCompute value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::CompareTypes value) {
  DisplayWord(label, value);
}
void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::OutputTypes value) {
  DisplayWord(label, value);
}

void BSNComponentDisplay::DisplayC(const std::string& label, BSNConst::LogLinPriorType value) {
  const std::string_view word = EnumWord(value);
  DisplayText(1, word.empty() ? label : label + " = " + std::string(word));
}

void BSNComponentDisplay::DisplayStatus(const std::string& label, const KQCommon_850::KQStatus& status) {
  DisplayText(1, label);
  DisplayStatusItems(status);
}

void BSNComponentDisplay::DisplayVStatus(const std::string& label,
                                         const std::vector<KQCommon_850::KQStatus>& statuses) {
  DisplayText(1, label);
  DisplayI("  size", static_cast<int>(statuses.size()));
  for (std::size_t i = 0; i < statuses.size(); ++i) {
    DisplayI("index", static_cast<int>(i));
    DisplayStatusItems(statuses[i]);
  }
}

}  // namespace KQBSN_850
