#pragma once
// The memory the reader works in: a file mapped for reading, whose pages are given back as the records
// on them are parsed, and the advice that lets large columns live in huge pages.

#include <cstddef>
#include <string_view>

namespace kqcli::csv {

/// A file mapped into memory for reading; unmapped when destroyed.
class MappedFile {
 public:
  MappedFile(int fd, std::size_t size);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool IsMapped() const noexcept { return address_ != nullptr; }
  std::string_view Text() const noexcept { return {static_cast<const char*>(address_), size_}; }

 private:
  void* address_ = nullptr;
  std::size_t size_;
};

/// Gives back the pages of a mapping that lie wholly before a point, so that the parsed part of a
/// file does not add to the reader's resident memory; the pages stay in the page cache.
class PageReleaser {
 public:
  /// mapping: the page-aligned start of a mapped file, or nullptr for text that is not mapped.
  explicit PageReleaser(const char* mapping) noexcept : mapping_(mapping), released_(mapping) {}
  void ReleaseBefore(const char* p) noexcept;

 private:
  const char* mapping_;
  const char* released_;  ///< the pages before this one are given back
};

/// Gives back the whole pages of a mapped file that lie within [begin, end); they stay in the page cache
/// and are mapped again if read again.
void ReleasePagesWithin(const char* begin, const char* end) noexcept;

/// Asks for [data, data + nBytes) in huge pages where the system leaves that to the program: a column
/// of a large file then costs a few hundred page faults instead of one per 4 KiB.
void AdviseHugePages(void* data, std::size_t nBytes) noexcept;

}  // namespace kqcli::csv
