#include "companion/XMLElement.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"

namespace KQXML_850 {
namespace {

void Copy(const XMLElement& from, pugi::xml_node to) {
  for (const auto& [name, value] : from.GetAttributes()) to.append_attribute(name.c_str()) = value.c_str();
  if (!from.GetText().empty()) to.append_child(pugi::node_pcdata).set_value(from.GetText().c_str());
  for (const auto& child : from.GetChildren()) Copy(*child, to.append_child(child->GetName().c_str()));
}

}  // namespace

void XMLElement::SetAttribute(std::string_view name, std::string value) {
  for (auto& [known, old] : attributes_)
    if (known == name) {
      old = std::move(value);
      return;
    }
  attributes_.emplace_back(std::string(name), std::move(value));
}

const std::string* XMLElement::GetAttribute(std::string_view name) const noexcept {
  for (const auto& [known, value] : attributes_)
    if (known == name) return &value;
  return nullptr;
}

XMLElement& XMLElement::AppendChild(std::unique_ptr<XMLElement> child) {
  children_.push_back(std::move(child));
  return *children_.back();
}

XMLElement& XMLElement::AddChild(std::string name) {
  return AppendChild(std::make_unique<XMLElement>(std::move(name)));
}

const XMLElement* XMLElement::FindChild(std::string_view name) const noexcept {
  for (const auto& child : children_)
    if (child->GetName() == name) return child.get();
  return nullptr;
}

std::string FormatNumber(double value, int digits) {
  if (KQCommon_850::KQMV::IsMissing(value) || !std::isfinite(value)) return {};
  char buffer[64];
  const std::to_chars_result result =
      digits > 0 ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits)
                 : std::to_chars(buffer, buffer + sizeof buffer, value);
  if (result.ec != std::errc()) return {};
  return std::string(buffer, result.ptr);
}

KQCommon_850::KQStatus WriteTree(std::ostream& out, std::string_view doctype, const XMLElement& root,
                                 bool indent) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  if (!doctype.empty()) document.append_child(pugi::node_doctype).set_value(std::string(doctype).c_str());
  Copy(root, document.append_child(root.GetName().c_str()));
  const unsigned flags = indent ? pugi::format_indent : pugi::format_raw;
  document.save(out, "  ", flags, pugi::encoding_utf8);
  if (!indent) out << '\n';
  if (!out) return KQCommon_850::KQStatus(KQCommon_850::KQ_EXPORT_FAILED, false);
  return {};
}

}  // namespace KQXML_850
