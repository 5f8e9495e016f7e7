#include "tests/support/PmmlSchema.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace kqtest {
namespace {

/// A file of its own under the temporary directory, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr ? dir : "/tmp") + "/kq_pmml_XXXXXX" + suffix;
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd >= 0) {
      close(fd);
      path_ = pattern;
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!path_.empty()) std::remove(path_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

::testing::AssertionResult ValidatesAgainstPmmlSchema(const std::string& document) {
  const TempFile xml(".xml"), report(".txt");
  if (xml.Path().empty() || report.Path().empty())
    return ::testing::AssertionFailure() << "cannot create a temporary file";
  {
    std::ofstream out(xml.Path(), std::ios::binary);
    out << document;
    if (!out) return ::testing::AssertionFailure() << "cannot write " << xml.Path();
  }
  const std::string command = "xmllint --noout --schema '" + std::string(KQ_REFERENCE_DIR) +
                              "/pmml-4-4-subset.xsd' '" + xml.Path() + "' > '" + report.Path() + "' 2>&1";
  const int rc = std::system(command.c_str());
  std::ifstream in(report.Path());
  const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (rc == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "xmllint (exit " << rc << "): " << output;
}

}  // namespace kqtest
