#include "cli/csv/Memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace kqcli::csv {
namespace {

std::size_t PageBytes() noexcept {
  static const auto kPageBytes = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return kPageBytes;
}

}  // namespace

MappedFile::MappedFile(int fd, std::size_t size) : size_(size) {
  void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) return;
  address_ = address;
  ::madvise(address, size, MADV_SEQUENTIAL);
}

MappedFile::~MappedFile() {
  if (address_ != nullptr) ::munmap(address_, size_);
}

void PageReleaser::ReleaseBefore(const char* p) noexcept {
  if (mapping_ == nullptr) return;
  const char* const pageStart = mapping_ + static_cast<std::size_t>(p - mapping_) / PageBytes() * PageBytes();
  if (pageStart <= released_) return;
  // The mapping would read the pages again if they were touched.
  ::madvise(const_cast<char*>(released_), static_cast<std::size_t>(pageStart - released_), MADV_DONTNEED);
  released_ = pageStart;
}

void ReleasePagesWithin(const char* begin, const char* end) noexcept {
  const auto pageBytes = static_cast<std::uintptr_t>(PageBytes());
  const auto start = (reinterpret_cast<std::uintptr_t>(begin) + pageBytes - 1) / pageBytes * pageBytes;
  const auto stop = reinterpret_cast<std::uintptr_t>(end) / pageBytes * pageBytes;
  if (stop > start) ::madvise(reinterpret_cast<void*>(start), stop - start, MADV_DONTNEED);
}

void AdviseHugePages(void* data, std::size_t nBytes) noexcept {
  const auto pageBytes = static_cast<std::uintptr_t>(PageBytes());
  const auto start = (reinterpret_cast<std::uintptr_t>(data) + pageBytes - 1) / pageBytes * pageBytes;
  const auto stop = (reinterpret_cast<std::uintptr_t>(data) + nBytes) / pageBytes * pageBytes;
  if (stop > start) ::madvise(reinterpret_cast<void*>(start), stop - start, MADV_HUGEPAGE);
}

}  // namespace kqcli::csv
