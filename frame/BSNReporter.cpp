#include "frame/BSNReporter.h"

#include "companion/KQMV.h"

namespace KQBSN_850 {

int BSNReporter::DiscreteMeasure(const std::string& name) const { return name == "records" ? nRecords_ : -1; }

double BSNReporter::ScaleMeasure(const std::string&) const { return KQCommon_850::KQMV::Missing(); }

}  // namespace KQBSN_850
