#pragma once
// BSNOutputStats: the base of every result record. A record says which model and which kind of
// output it holds and prints itself for diagnosis; its fields are read through its subclass.

#include <ostream>

#include "frame/BSNConst.h"

namespace KQBSN_850 {

class BSNOutputStats {
 public:
  BSNOutputStats() = default;
  BSNOutputStats(const BSNOutputStats&) = default;
  BSNOutputStats& operator=(const BSNOutputStats&) = default;
  virtual ~BSNOutputStats() = default;

  virtual BSNConst::ModelTypes GetModelType() const = 0;
  virtual BSNConst::OutputTypes GetOutputType() const = 0;
  virtual void Display(std::ostream& os) const = 0;
};

}  // namespace KQBSN_850
