#pragma once
// InputError and Result: how the command's readers report a problem with the files they were given.
// The message is one line that names the file and the row, column or key at fault; the command prints
// it and exits with status 2. Nothing in the command throws across its own functions.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace kqcli {

struct InputError {
  std::string message;  ///< one line, naming the file and the place in it
};

/// A value, or the input error that prevented it.
template <class T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}           // NOLINT: implicit on purpose, like std::expected
  Result(InputError error) : state_(std::move(error)) {}  // NOLINT

  bool IsOK() const noexcept { return std::holds_alternative<T>(state_); }
  T& Value() {
    assert(IsOK());
    return std::get<T>(state_);
  }
  const T& Value() const {
    assert(IsOK());
    return std::get<T>(state_);
  }
  const InputError& Error() const {
    assert(!IsOK());
    return std::get<InputError>(state_);
  }

 private:
  std::variant<T, InputError> state_;
};

}  // namespace kqcli
