#include <algorithm>
#include <cmath>
#include <cstddef>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"

// Conjugate priors: under the saturated model the cell probabilities are Dirichlet with one shape per
// cell (a Poisson model adds a gamma prior of scale b on the total rate); under independence the row
// and column probabilities are Dirichlet with the "ksi" shapes that make both priors agree on the
// margins. Each marginal likelihood is then a ratio of multivariate beta functions.

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

BSNLogLinConjugateBF::BSNLogLinConjugateBF(const BSNSettings& settings, const BSNContingency& table)
    : BSNLogLinBayesFactor(settings, table),
      isPoisson_(settings.GetLogLinModel() == BSNConst::DistTypes::Poisson),
      fixType_(settings.GetFixType()),
      shapes_(settings.GetLogLinShapes()),
      scale_(settings.GetPriorScale()) {
  if (shapes_.empty()) shapes_ = {1.0};
  const std::size_t nCells = static_cast<std::size_t>(nRows_) * static_cast<std::size_t>(nCols_);
  const bool single = shapes_.size() == 1;
  const double alpha = shapes_[0];
  if (single) shapes_.assign(nCells, alpha);
  if (shapes_.size() != nCells) {
    status_ = KQCommon_850::StatusWithDatum(BSN_BAD_LOGLINEAR_SHAPES, false, static_cast<long>(nCells));
    status_.SetDiscreteDatum(1, static_cast<long>(settings.GetLogLinShapes().size()));
    return;
  }
  const std::vector<int>& rows = table.GetNonEmptyRows();
  const std::vector<int>& cols = table.GetNonEmptyCols();
  const double nRowsUsed = static_cast<double>(rows.size()), nColsUsed = static_cast<double>(cols.size());
  rowShapes_.assign(static_cast<std::size_t>(nRows_), 0.0);
  rowKsi_ = rowShapes_;
  colShapes_.assign(static_cast<std::size_t>(nCols_), 0.0);
  colKsi_ = colShapes_;
  const KQStatus tooSmall(BSN_PRIOR_COMPONENT_TOO_SMALL, true);
  auto cell = [&](std::size_t i, std::size_t j) -> double& {
    return shapes_[i * static_cast<std::size_t>(nCols_) + j];
  };

  if (single) {
    for (int i : rows) {
      rowShapes_[static_cast<std::size_t>(i)] = nColsUsed * alpha;
      rowKsi_[static_cast<std::size_t>(i)] = nColsUsed * alpha - nColsUsed + 1.0;
    }
    for (int j : cols) {
      colShapes_[static_cast<std::size_t>(j)] = nRowsUsed * alpha;
      colKsi_[static_cast<std::size_t>(j)] = nRowsUsed * alpha - nRowsUsed + 1.0;
    }
    totalShape_ = alpha * nRowsUsed * nColsUsed;
    if ((!rows.empty() && !(rowKsi_[static_cast<std::size_t>(rows[0])] > 0.0)) ||
        (!cols.empty() && !(colKsi_[static_cast<std::size_t>(cols[0])] > 0.0)))
      status_ = tooSmall;
  } else {
    // Cells outside the non-empty rows and columns take no part.
    for (std::size_t i = 0; i < static_cast<std::size_t>(nRows_); ++i)
      for (std::size_t j = 0; j < static_cast<std::size_t>(nCols_); ++j) {
        const bool used = table.GetRowTotals()[i] > 0.0 && table.GetColTotals()[j] > 0.0;
        if (!used) cell(i, j) = 0.0;
        rowShapes_[i] += cell(i, j);
        colShapes_[j] += cell(i, j);
        totalShape_ += cell(i, j);
      }
    for (int i : rows) {
      rowKsi_[static_cast<std::size_t>(i)] = rowShapes_[static_cast<std::size_t>(i)] - nColsUsed + 1.0;
      if (!(rowKsi_[static_cast<std::size_t>(i)] > 0.0) && status_.IsOK()) status_ = tooSmall;
    }
    for (int j : cols) {
      if (!status_.IsOK()) break;
      colKsi_[static_cast<std::size_t>(j)] = colShapes_[static_cast<std::size_t>(j)] - nRowsUsed + 1.0;
      if (!(colKsi_[static_cast<std::size_t>(j)] > 0.0)) status_ = tooSmall;
    }
  }
  const double a0 = totalShape_ - (nColsUsed - 1.0) * (nRowsUsed - 1.0);
  if (!(a0 > 0.0)) status_ = tooSmall;
  if (status_.IsOK() && KQMV::IsMissingOrNaN(scale_)) {
    // The default scale puts the prior mean of the total rate at the observed total.
    double smallest = single ? alpha : shapes_[0];
    for (int i : rows)
      for (int j : cols)
        smallest = std::min(smallest, cell(static_cast<std::size_t>(i), static_cast<std::size_t>(j)));
    scale_ = table.GetTotalWeight() / (nRowsUsed * nColsUsed * smallest);
  }
}

double BSNLogLinConjugateBF::ComputeBayesFactor() {
  if (!status_.IsOK()) return bayesFactor_;
  using detail::LogMultiBeta;
  const BSNContingency& t = *table_;
  const std::vector<double>& r = t.GetRowTotals();
  const std::vector<double>& c = t.GetColTotals();
  std::vector<double> n;  // the counts, row-major
  for (const auto& row : t.GetAllCounts()) n.insert(n.end(), row.begin(), row.end());
  const double rowTerm = LogMultiBeta(rowKsi_, r) - LogMultiBeta(rowKsi_);
  const double colTerm = LogMultiBeta(colKsi_, c) - LogMultiBeta(colKsi_);
  const double cellTerm = LogMultiBeta(shapes_) - LogMultiBeta(shapes_, n);
  double logBf01 = KQMV::Missing();
  if (isPoisson_) {
    const double nRowsUsed = static_cast<double>(t.GetNonEmptyRows().size());
    const double nColsUsed = static_cast<double>(t.GetNonEmptyCols().size());
    const double interactions = (nRowsUsed - 1.0) * (nColsUsed - 1.0);
    const double a0 = totalShape_ - interactions, total = t.GetTotalWeight();
    double cells = 0.0;
    for (int i : t.GetNonEmptyRows())
      for (int j : t.GetNonEmptyCols()) {
        const std::size_t k =
            static_cast<std::size_t>(i) * static_cast<std::size_t>(nCols_) + static_cast<std::size_t>(j);
        if (shapes_[k] > 0.0)
          cells += KQDistFun::qorvdnlgam(shapes_[k]) - KQDistFun::qorvdnlgam(shapes_[k] + n[k]);
      }
    logBf01 = KQDistFun::qorvdnlgam(total + a0) - KQDistFun::qorvdnlgam(a0) +
              interactions * KQDistFun::Log1p(1.0 / scale_) + cells + rowTerm + colTerm;
  } else if (fixType_ == BSNConst::FixType::FixedTotal) {
    logBf01 = rowTerm + colTerm + cellTerm;
  } else if (fixType_ == BSNConst::FixType::FixedRow) {
    logBf01 = cellTerm + colTerm + LogMultiBeta(rowShapes_, r) - LogMultiBeta(rowShapes_);
  } else if (fixType_ == BSNConst::FixType::FixedColumn) {
    logBf01 = cellTerm + rowTerm + LogMultiBeta(colShapes_, c) - LogMultiBeta(colShapes_);
  }
  SetLogBayesFactor(logBf01);
  return bayesFactor_;
}

void BSNLogLinConjugateBF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Start display of BSNLogLinConjugateBF");
  DisplayDV("Shape params", shapes_);
  DisplayD("Scale param", scale_);
  DisplayB("Is Poisson", isPoisson_);
  DisplayI("Fix type", BSNConst::ToInt(fixType_));
  DisplayD("Total weight", table_->GetTotalWeight());
  DisplayDV("Row Ksi", rowKsi_);
  DisplayDV("Column Ksi", colKsi_);
  DisplayD("Bayes factor", bayesFactor_);
  DisplayI("Status", status_.GetErrorCode());
  DisplayText(1, "End display of BSNLogLinConjugateBF");
}

}  // namespace KQBSN_850
