#pragma once
// The variable dictionary: one entry per variable position, continuous (with the recorded
// minimum and maximum of its values) or categorical (with its number of categories).

#include <memory>
#include <string>
#include <vector>

namespace KQCommon_850 {

/// Kind codes of a variable; analyses test GetVarType() against them.
enum KQVarType : int { KQ_VAR_CONTINUOUS = 1, KQ_VAR_CATEGORICAL = 2 };

class KQVariable {
 public:
  virtual ~KQVariable() = default;
  virtual KQVarType GetVarType() const noexcept = 0;
  virtual std::unique_ptr<KQVariable> Clone() const = 0;
  const std::string& GetName() const noexcept { return name_; }

 protected:
  explicit KQVariable(std::string name) : name_(std::move(name)) {}
  KQVariable(const KQVariable&) = default;
  KQVariable& operator=(const KQVariable&) = default;

 private:
  std::string name_;
};

/// A continuous variable. Its minimum and maximum are those the host recorded over the
/// non-missing values (the missing value when it has none).
class KQContVar final : public KQVariable {
 public:
  KQContVar(std::string name, double minimum, double maximum)
      : KQVariable(std::move(name)), min_(minimum), max_(maximum) {}
  KQVarType GetVarType() const noexcept override { return KQ_VAR_CONTINUOUS; }
  std::unique_ptr<KQVariable> Clone() const override { return std::make_unique<KQContVar>(*this); }
  double GetMin() const noexcept { return min_; }
  double GetMax() const noexcept { return max_; }

 private:
  double min_;
  double max_;
};

/// A categorical variable whose values are the codes 0 to GetNCategories() - 1. Each category may carry
/// a label (the text the host read for it); without one, its code written as a whole number stands in.
class KQCategVar final : public KQVariable {
 public:
  KQCategVar(std::string name, int nCategories) : KQVariable(std::move(name)), nCategories_(nCategories) {}
  KQVarType GetVarType() const noexcept override { return KQ_VAR_CATEGORICAL; }
  std::unique_ptr<KQVariable> Clone() const override { return std::make_unique<KQCategVar>(*this); }
  int GetNCategories() const noexcept { return nCategories_; }
  /// True when code is one of the variable's categories.
  bool IsValidCategory(double code) const noexcept;

  /// Labels by code; entries beyond the categories are ignored, missing entries fall back to the code.
  void SetLabels(std::vector<std::string> labels) { labels_ = std::move(labels); }
  /// The label of a category code ("" for a code outside the categories).
  std::string GetLabel(int code) const;
  /// True when the variable has at least nCategories categories and its labels tell them apart.
  bool HasDistinctCategories(int nCategories) const;

 private:
  int nCategories_;
  std::vector<std::string> labels_;
};

class KQVarList {
 public:
  KQVarList() = default;
  KQVarList(const KQVarList& other);
  KQVarList& operator=(const KQVarList& other);
  KQVarList(KQVarList&&) noexcept = default;
  KQVarList& operator=(KQVarList&&) noexcept = default;
  ~KQVarList() = default;

  /// Appends a variable; returns its position.
  int AddVar(std::unique_ptr<KQVariable> var);
  int AddContVar(std::string name, double minimum, double maximum);
  int AddCategVar(std::string name, int nCategories);

  int GetNVars() const noexcept { return static_cast<int>(vars_.size()); }
  /// The variable at a position, or null outside 0 .. GetNVars() - 1.
  const KQVariable* GetVarAt(int position) const noexcept;
  /// The continuous variable at a position, or null when there is none or it is categorical.
  const KQContVar* GetContVarAt(int position) const noexcept;
  const KQCategVar* GetCategVarAt(int position) const noexcept;
  /// The position of the variable with this name, or -1.
  int FindVar(const std::string& name) const noexcept;

 private:
  std::vector<std::unique_ptr<KQVariable>> vars_;
};

}  // namespace KQCommon_850
