#pragma once
// XMLElement: a small element tree for the documents the libraries write: a name, attributes in the
// order they were set, a text and owned children in order. WriteTree serialises a tree as UTF-8 XML;
// attribute values and texts are escaped on writing, so they hold plain text.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "companion/KQStatus.h"

namespace KQXML_850 {

class XMLElement {
 public:
  explicit XMLElement(std::string name) : name_(std::move(name)) {}

  const std::string& GetName() const noexcept { return name_; }

  /// Sets an attribute: a new name goes after the others, a known one keeps its place and takes the value.
  void SetAttribute(std::string_view name, std::string value);
  /// The value of an attribute, or null when it is not set.
  const std::string* GetAttribute(std::string_view name) const noexcept;
  const std::vector<std::pair<std::string, std::string>>& GetAttributes() const noexcept {
    return attributes_;
  }

  void SetText(std::string text) { text_ = std::move(text); }
  const std::string& GetText() const noexcept { return text_; }

  /// Appends a child and returns it.
  XMLElement& AppendChild(std::unique_ptr<XMLElement> child);
  /// Appends a new empty child of this name and returns it.
  XMLElement& AddChild(std::string name);
  const std::vector<std::unique_ptr<XMLElement>>& GetChildren() const noexcept { return children_; }
  /// The first child of this name, or null.
  const XMLElement* FindChild(std::string_view name) const noexcept;

 private:
  std::string name_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::string text_;
  std::vector<std::unique_ptr<XMLElement>> children_;
};

/// A double as the documents write it: with digits 0 the shortest text that reads back as the same
/// double, else that many significant digits. The missing value, NaN and infinities have no number text:
/// they give "".
std::string FormatNumber(double value, int digits = 0);

/// Writes the tree as a document: the XML declaration, a document type declaration when doctype is
/// not empty, then the root. indent puts each element on its own line, indented by two spaces a level.
/// An error status (KQ_EXPORT_FAILED) when the stream fails.
KQCommon_850::KQStatus WriteTree(std::ostream& out, std::string_view doctype, const XMLElement& root,
                                 bool indent);

}  // namespace KQXML_850
