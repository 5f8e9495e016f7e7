#pragma once
// The describers of the result records, one per record type, and the helpers they share.

#include <string>
#include <vector>

#include "cli/RecordView.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {
class BSN1SampleBinoOutputStats;
class BSN1SamplePoisnOutputStats;
class BSN1SampleNormOutputStats;
class BSN2SampleRelatedOutputStats;
class BSN2SampleIndOutputStats;
class BSNLogLinearOutputStats;
class BSNPearsonCorrelationOutputStats;
class BSNMultiRegOutputStats;
}  // namespace KQBSN_850

namespace kqcli {

/// Each describer lists its record's getters, in the record's order, with their place in the tables.
RecordView DescribeOneSampleBinomial(const KQBSN_850::BSN1SampleBinoOutputStats& record,
                                     const DataColumns& columns);
RecordView DescribeOneSamplePoisson(const KQBSN_850::BSN1SamplePoisnOutputStats& record,
                                    const DataColumns& columns);
RecordView DescribeOneSampleNormal(const KQBSN_850::BSN1SampleNormOutputStats& record,
                                   const DataColumns& columns);
RecordView DescribeTwoSampleRelated(const KQBSN_850::BSN2SampleRelatedOutputStats& record,
                                    const DataColumns& columns);
RecordView DescribeTwoSampleIndependent(const KQBSN_850::BSN2SampleIndOutputStats& record,
                                        const DataColumns& columns);
RecordView DescribeLogLinear(const KQBSN_850::BSNLogLinearOutputStats& record, const DataColumns& columns);
RecordView DescribeCorrelation(const KQBSN_850::BSNPearsonCorrelationOutputStats& record,
                               const DataColumns& columns);
RecordView DescribeRegression(const KQBSN_850::BSNMultiRegOutputStats& record, const DataColumns& columns);

/// The names of the columns at the given indices ("#7" for an index outside the data).
std::vector<std::string> ColumnLabels(const std::vector<int>& indices,
                                      const std::vector<std::string>& columnNames);

/// A number as the tables' titles and verdicts write it (up to 6 significant digits).
std::string ShortNumber(double value);

/// Entry i of a list of prior parameters, or fallback where the entry is absent or missing.
double ListEntry(const std::vector<double>& list, std::size_t i, double fallback);

/// "95%" for the settings' credible level.
std::string CredibleLevel(const KQBSN_850::BSNSettings& settings);

}  // namespace kqcli
