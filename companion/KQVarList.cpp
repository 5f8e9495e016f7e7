#include "companion/KQVarList.h"

#include <cmath>
#include <set>

namespace KQCommon_850 {

bool KQCategVar::IsValidCategory(double code) const noexcept {
  return code >= 0.0 && code < static_cast<double>(nCategories_) && std::floor(code) == code;
}

std::string KQCategVar::GetLabel(int code) const {
  if (code < 0 || code >= nCategories_) return {};
  const auto index = static_cast<std::size_t>(code);
  if (index < labels_.size() && !labels_[index].empty()) return labels_[index];
  return std::to_string(code);
}

bool KQCategVar::HasDistinctCategories(int nCategories) const {
  if (nCategories <= 0 || nCategories > nCategories_) return false;
  std::set<std::string> seen;
  for (int code = 0; code < nCategories_; ++code)
    if (!seen.insert(GetLabel(code)).second) return false;
  return true;
}

KQVarList::KQVarList(const KQVarList& other) {
  vars_.reserve(other.vars_.size());
  for (const auto& var : other.vars_) vars_.push_back(var->Clone());
}

KQVarList& KQVarList::operator=(const KQVarList& other) {
  if (this != &other) {
    KQVarList copy(other);
    vars_ = std::move(copy.vars_);
  }
  return *this;
}

int KQVarList::AddVar(std::unique_ptr<KQVariable> var) {
  vars_.push_back(std::move(var));
  return GetNVars() - 1;
}

int KQVarList::AddContVar(std::string name, double minimum, double maximum) {
  return AddVar(std::make_unique<KQContVar>(std::move(name), minimum, maximum));
}

int KQVarList::AddCategVar(std::string name, int nCategories) {
  return AddVar(std::make_unique<KQCategVar>(std::move(name), nCategories));
}

const KQVariable* KQVarList::GetVarAt(int position) const noexcept {
  if (position < 0 || position >= GetNVars()) return nullptr;
  return vars_[static_cast<std::size_t>(position)].get();
}

const KQContVar* KQVarList::GetContVarAt(int position) const noexcept {
  const KQVariable* var = GetVarAt(position);
  return var != nullptr && var->GetVarType() == KQ_VAR_CONTINUOUS ? static_cast<const KQContVar*>(var)
                                                                  : nullptr;
}

const KQCategVar* KQVarList::GetCategVarAt(int position) const noexcept {
  const KQVariable* var = GetVarAt(position);
  return var != nullptr && var->GetVarType() == KQ_VAR_CATEGORICAL ? static_cast<const KQCategVar*>(var)
                                                                   : nullptr;
}

int KQVarList::FindVar(const std::string& name) const noexcept {
  for (std::size_t i = 0; i < vars_.size(); ++i)
    if (vars_[i]->GetName() == name) return static_cast<int>(i);
  return -1;
}

}  // namespace KQCommon_850
