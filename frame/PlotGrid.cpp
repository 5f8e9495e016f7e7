#include "frame/detail/PlotGrid.h"

#include <cstddef>

namespace KQBSN_850 {

std::vector<double> PlotGrid(const Range& range, int nPoints, GridSpacing spacing) {
  if (!range.IsUsable() || nPoints < 1) return {};
  const double lower = range.lower;
  if (nPoints == 1) return {lower};
  std::vector<double> grid;
  grid.reserve(static_cast<std::size_t>(nPoints));
  const double step = (range.upper - lower) / (nPoints - 1);
  if (spacing == GridSpacing::Indexed) {
    for (int k = 0; k < nPoints; ++k) grid.push_back(lower + k * step);
  } else {
    double x = lower;
    for (int k = 0; k < nPoints; ++k, x += step) grid.push_back(x);
  }
  return grid;
}

}  // namespace KQBSN_850
