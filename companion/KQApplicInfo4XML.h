#pragma once
// KQApplicInfo4XML: who wrote an exported document: the application's name and version and an optional
// copyright line, written into the document's header.

#include <string>
#include <utility>

namespace KQXML_850 {

class KQApplicInfo4XML {
 public:
  KQApplicInfo4XML() = default;
  KQApplicInfo4XML(std::string name, std::string version, std::string copyright = {})
      : name_(std::move(name)), version_(std::move(version)), copyright_(std::move(copyright)) {}

  const std::string& GetName() const noexcept { return name_; }
  const std::string& GetVersion() const noexcept { return version_; }
  const std::string& GetCopyright() const noexcept { return copyright_; }

 private:
  std::string name_;
  std::string version_;
  std::string copyright_;
};

}  // namespace KQXML_850
