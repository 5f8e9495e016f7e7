#pragma once
// KQPMMLExporter: the parts of a PMML 4.4 document that every model shares: the PMML root element, the
// header naming the application that wrote the document, the data dictionary of the fields the model
// uses, extensions, and the writing of the finished tree.
//
// Data dictionary: one DataField per active variable, in the order given. A continuous variable is a
// continuous field of type double (with its recorded range as an Interval when it has one); a
// categorical one a categorical field of type string with one Value per category, the category's
// label (KQCategVar::GetLabel), which is also the value a model's cells refer to.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "companion/KQApplicInfo4XML.h"
#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/XMLElement.h"

namespace KQXML_850 {

inline constexpr std::string_view kPMMLVersion = "4.4";
inline constexpr std::string_view kPMMLNamespace = "http://www.dmg.org/PMML-4_4";

class KQPMMLExporter {
 public:
  /// An exporter; a cancellation query (not owned; null for none) is asked before each step.
  explicit KQPMMLExporter(KQCommon_850::KQQueryCancel* cancel = nullptr) noexcept : cancel_(cancel) {}

  /// The PMML root element with its version and namespace; null when the export was cancelled.
  std::unique_ptr<XMLElement> ExportPMMLElement();
  /// Appends the Header to root: the description (when not empty) and the copyright of appInfo as
  /// attributes, an Application (name and version; "kqbayes" without appInfo) and, with withTimestamp,
  /// a Timestamp of the present moment in UTC (ISO 8601). False when cancelled.
  bool ExportHeader(const KQApplicInfo4XML* appInfo, std::string_view description, bool withTimestamp,
                    XMLElement& root);
  /// The DataDictionary of the active variables (positions in vars). KQ_VARIABLE_NOT_FOUND (datum 0
  /// the position) for a position outside the list, KQ_EXPORT_FAILED when there is no variable or the
  /// export was cancelled; element stays null on error.
  KQCommon_850::KQStatus ExportDataDictionary(const KQCommon_850::KQVarList& vars,
                                              const std::vector<int>& activeVars,
                                              std::unique_ptr<XMLElement>& element);
  /// Appends an Extension with this name and value to parent. False when the name is empty.
  bool ExportExtension(std::string_view name, std::string_view value, XMLElement& parent);
  /// Writes the document (see KQXML_850::WriteTree).
  KQCommon_850::KQStatus WriteTree(std::ostream& out, std::string_view doctype, const XMLElement& root,
                                   bool indent);

 private:
  bool Cancelled();

  KQCommon_850::KQCancelInfo cancel_;
};

}  // namespace KQXML_850
