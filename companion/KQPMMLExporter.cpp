#include "companion/KQPMMLExporter.h"

#include <chrono>
#include <ctime>
#include <string>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"

namespace KQXML_850 {
namespace {

using KQCommon_850::KQStatus;

/// The present moment in UTC as YYYY-MM-DDThh:mm:ssZ.
std::string UtcTimestamp() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return std::string(text, length);
}

std::unique_ptr<XMLElement> DataField(const KQCommon_850::KQVariable& var) {
  auto field = std::make_unique<XMLElement>("DataField");
  field->SetAttribute("name", var.GetName());
  if (var.GetVarType() == KQCommon_850::KQ_VAR_CATEGORICAL) {
    const auto& categorical = static_cast<const KQCommon_850::KQCategVar&>(var);
    field->SetAttribute("optype", "categorical");
    field->SetAttribute("dataType", "string");
    for (int code = 0; code < categorical.GetNCategories(); ++code)
      field->AddChild("Value").SetAttribute("value", categorical.GetLabel(code));
    return field;
  }
  field->SetAttribute("optype", "continuous");
  field->SetAttribute("dataType", "double");
  const auto& continuous = static_cast<const KQCommon_850::KQContVar&>(var);
  const std::string low = FormatNumber(continuous.GetMin()), high = FormatNumber(continuous.GetMax());
  if (!low.empty() && !high.empty() && continuous.GetMin() <= continuous.GetMax()) {
    XMLElement& interval = field->AddChild("Interval");
    interval.SetAttribute("closure", "closedClosed");
    interval.SetAttribute("leftMargin", low);
    interval.SetAttribute("rightMargin", high);
  }
  return field;
}

}  // namespace

bool KQPMMLExporter::Cancelled() { return cancel_.IsCancel(); }

std::unique_ptr<XMLElement> KQPMMLExporter::ExportPMMLElement() {
  if (Cancelled()) return nullptr;
  auto root = std::make_unique<XMLElement>("PMML");
  root->SetAttribute("xmlns", std::string(kPMMLNamespace));
  root->SetAttribute("version", std::string(kPMMLVersion));
  return root;
}

bool KQPMMLExporter::ExportHeader(const KQApplicInfo4XML* appInfo, std::string_view description,
                                  bool withTimestamp, XMLElement& root) {
  if (Cancelled()) return false;
  XMLElement& header = root.AddChild("Header");
  if (appInfo != nullptr && !appInfo->GetCopyright().empty())
    header.SetAttribute("copyright", appInfo->GetCopyright());
  if (!description.empty()) header.SetAttribute("description", std::string(description));
  XMLElement& application = header.AddChild("Application");
  const bool named = appInfo != nullptr && !appInfo->GetName().empty();
  application.SetAttribute("name", named ? appInfo->GetName() : std::string("kqbayes"));
  if (appInfo != nullptr && !appInfo->GetVersion().empty())
    application.SetAttribute("version", appInfo->GetVersion());
  if (withTimestamp) header.AddChild("Timestamp").SetText(UtcTimestamp());
  return true;
}

KQStatus KQPMMLExporter::ExportDataDictionary(const KQCommon_850::KQVarList& vars,
                                              const std::vector<int>& activeVars,
                                              std::unique_ptr<XMLElement>& element) {
  element.reset();
  if (Cancelled() || activeVars.empty()) return KQStatus(KQCommon_850::KQ_EXPORT_FAILED, false);
  auto dictionary = std::make_unique<XMLElement>("DataDictionary");
  dictionary->SetAttribute("numberOfFields", std::to_string(activeVars.size()));
  for (int position : activeVars) {
    const KQCommon_850::KQVariable* var = vars.GetVarAt(position);
    if (var == nullptr)
      return KQCommon_850::StatusWithDatum(KQCommon_850::KQ_VARIABLE_NOT_FOUND, false, position);
    dictionary->AppendChild(DataField(*var));
  }
  element = std::move(dictionary);
  return {};
}

bool KQPMMLExporter::ExportExtension(std::string_view name, std::string_view value, XMLElement& parent) {
  if (name.empty()) return false;
  XMLElement& extension = parent.AddChild("Extension");
  extension.SetAttribute("name", std::string(name));
  extension.SetAttribute("value", std::string(value));
  return true;
}

KQStatus KQPMMLExporter::WriteTree(std::ostream& out, std::string_view doctype, const XMLElement& root,
                                   bool indent) {
  if (Cancelled()) return KQStatus(KQCommon_850::KQ_EXPORT_FAILED, false);
  return KQXML_850::WriteTree(out, doctype, root, indent);
}

}  // namespace KQXML_850
