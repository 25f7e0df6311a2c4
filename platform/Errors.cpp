#include "Errors.h"

#include <cerrno>

namespace qel {

void RaiseListError(long long index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string QuoteForMessage(std::string_view text) {
  constexpr size_t kQuoted = 40;
  std::string out;
  for (unsigned char c : text.substr(0, kQuoted)) {
    if (c >= 0x20 && c != 0x7F) {
      out += char(c);
      continue;
    }
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  if (text.size() > kQuoted) out += "...";
  return out;
}

void RaiseInvalidInteger(std::string_view text) {
  throw EConvertError("'" + QuoteForMessage(text) + "' is not a valid integer value");
}

std::string InOutErrorText(int err) {
  switch (err) {
  case ENOENT: return "File not found";
  case ENOTDIR: return "Path not found";
  case EACCES:
  case EPERM:
  case EROFS: return "File access denied";
  case EISDIR: return "A folder stands where the file belongs";
  case EMFILE:
  case ENFILE: return "Too many open files";
  case ENOSPC:
  case EDQUOT: return "Disk full";
  case ENAMETOOLONG:
  case EINVAL: return "Invalid filename";
  case EIO: return "Disk read error";
  default: return "I/O error " + std::to_string(err);
  }
}

void RaiseInOutError(int err) { throw EInOutError(err, InOutErrorText(err)); }

} // namespace qel
