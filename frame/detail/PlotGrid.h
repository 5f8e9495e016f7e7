#pragma once
// The abscissae of a plot curve: nPoints points from range.lower to range.upper.
//
// Indexed spacing lays point k at lower + k (upper - lower)/(nPoints - 1); Accumulated spacing makes
// each point the previous one plus that step, a running sum that drifts from the indexed points in
// the last bits (the last point can miss upper by a few units in the last place). One point is
// lower alone; fewer than one point, or a range with a missing or infinite end, gives no point.
// Accuracy: tests/frame/PlotGrid_test.cpp checks both spacings against their closed forms.

#include <vector>

#include "frame/detail/PosteriorRange.h"

namespace KQBSN_850 {

/// How the points after the first are placed.
enum class GridSpacing {
  Indexed,      ///< lower + k * step
  Accumulated,  ///< the previous point + step
};

/// nPoints points over the range, empty when nPoints < 1 or the range is not usable.
std::vector<double> PlotGrid(const Range& range, int nPoints, GridSpacing spacing = GridSpacing::Indexed);

}  // namespace KQBSN_850
