#include "cli/RecordRegistry.h"

#include "cli/FactorSummary.h"

#include "cli/records/Describers.h"
#include "correlation/BSNPearsonCorrelationOutputStats.h"
#include "loglinear/BSNLogLinearOutputStats.h"
#include "onesample/BSN1SampleBinoOutputStats.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNConst::OutputTypes;

struct RegistryEntry {
  OutputTypes type;
  std::optional<RecordView> (*describe)(const KQBSN_850::BSNOutputStats&, const DataColumns&);
};

/// Hands the record to its describer once it is known to be of the describer's type.
template <class Record, RecordView (*Describe)(const Record&, const DataColumns&)>
std::optional<RecordView> Describing(const KQBSN_850::BSNOutputStats& record, const DataColumns& columns) {
  const auto* typed = dynamic_cast<const Record*>(&record);
  if (typed == nullptr) return std::nullopt;
  return Describe(*typed, columns);
}

// One row per result record type that the command can write.
constexpr RegistryEntry kDescribers[] = {
    {OutputTypes::Output1SampleBinomial,
     &Describing<KQBSN_850::BSN1SampleBinoOutputStats, &DescribeOneSampleBinomial>},
    {OutputTypes::Output1SamplePoisson,
     &Describing<KQBSN_850::BSN1SamplePoisnOutputStats, &DescribeOneSamplePoisson>},
    {OutputTypes::Output1SampleNormal,
     &Describing<KQBSN_850::BSN1SampleNormOutputStats, &DescribeOneSampleNormal>},
    {OutputTypes::Output2SampleRelated,
     &Describing<KQBSN_850::BSN2SampleRelatedOutputStats, &DescribeTwoSampleRelated>},
    {OutputTypes::Output2SampleIndependent,
     &Describing<KQBSN_850::BSN2SampleIndOutputStats, &DescribeTwoSampleIndependent>},
    {OutputTypes::OutputLogLinear, &Describing<KQBSN_850::BSNLogLinearOutputStats, &DescribeLogLinear>},
    {OutputTypes::OutputCorrelation,
     &Describing<KQBSN_850::BSNPearsonCorrelationOutputStats, &DescribeCorrelation>},
    {OutputTypes::OutputRegression, &Describing<KQBSN_850::BSNMultiRegOutputStats, &DescribeRegression>},
    {OutputTypes::OutputAnova, &Describing<KQBSN_850::BSNMultiRegOutputStats, &DescribeRegression>},
};

}  // namespace

std::optional<RecordView> DescribeRecord(const KQBSN_850::BSNOutputStats& record,
                                         const DataColumns& columns) {
  for (const RegistryEntry& entry : kDescribers)
    if (entry.type == record.GetOutputType()) return entry.describe(record, columns);
  return std::nullopt;
}

Json RecordToJson(const KQBSN_850::BSNOutputStats& record, const std::optional<RecordView>& view) {
  Json object = Json::object();
  object["record"] = view ? Json(view->record) : Json(nullptr);
  object["ModelType"] = KQBSN_850::BSNConst::ToInt(record.GetModelType());
  object["OutputType"] = KQBSN_850::BSNConst::ToInt(record.GetOutputType());
  if (view) {
    // The labels of the rows (variables, pairs, coefficients) beside the indices the fields use.
    object["RowHeader"] = view->rowHeader;
    object["RowLabels"] = view->rows;
    for (const Field& field : view->fields) object[field.key] = field.value;
    object["Factors"] = FactorsToJson(*view);
  }
  return object;
}

}  // namespace kqcli
