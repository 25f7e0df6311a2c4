#include "Errors.h"

#include <cerrno>

namespace qel {

void RaiseListError(long long index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void RaiseInvalidInteger(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid integer value");
}

std::string InOutErrorText(int err) {
  switch (err) {
  case ENOENT: return "File not found";
  case ENOTDIR: return "Path not found";
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR: return "File access denied";
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
