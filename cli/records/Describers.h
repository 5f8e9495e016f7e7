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
                                     const std::vector<std::string>& columnNames);
RecordView DescribeOneSamplePoisson(const KQBSN_850::BSN1SamplePoisnOutputStats& record,
                                    const std::vector<std::string>& columnNames);
RecordView DescribeOneSampleNormal(const KQBSN_850::BSN1SampleNormOutputStats& record,
                                   const std::vector<std::string>& columnNames);
RecordView DescribeTwoSampleRelated(const KQBSN_850::BSN2SampleRelatedOutputStats& record,
                                    const std::vector<std::string>& columnNames);
RecordView DescribeTwoSampleIndependent(const KQBSN_850::BSN2SampleIndOutputStats& record,
                                        const std::vector<std::string>& columnNames);
RecordView DescribeLogLinear(const KQBSN_850::BSNLogLinearOutputStats& record,
                             const std::vector<std::string>& columnNames);
RecordView DescribeCorrelation(const KQBSN_850::BSNPearsonCorrelationOutputStats& record,
                               const std::vector<std::string>& columnNames);
RecordView DescribeRegression(const KQBSN_850::BSNMultiRegOutputStats& record,
                              const std::vector<std::string>& columnNames);

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
