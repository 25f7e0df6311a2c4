#pragma once
// Exceptions raised by the run-time layer, carrying the texts the user sees.
#include <stdexcept>
#include <string>
#include <string_view>

namespace qel {

// Base of every error the program reports with its message.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A file could not be opened, read, created or written. Code is the errno value (0 if none).
class EInOutError : public Exception {
public:
  EInOutError(int code, const std::string& message) : Exception(message), ErrorCode(code) {}
  int ErrorCode;
};

// Text where an integer belongs: "'%s' is not a valid integer value".
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Index outside a list: "List index out of bounds (%d)".
class EListError : public Exception {
public:
  using Exception::Exception;
};

[[noreturn]] void RaiseListError(long long index);
// Quotes text (a part of its front when long) in a message.
[[noreturn]] void RaiseInvalidInteger(std::string_view text);
// At most a few dozen characters of text for a message: control bytes (also NUL, which
// would end the message) are shown as "\xHH", and a longer text ends in "...".
std::string QuoteForMessage(std::string_view text);
// Raises EInOutError with the user-facing text for an errno value.
[[noreturn]] void RaiseInOutError(int err);
std::string InOutErrorText(int err);

} // namespace qel
