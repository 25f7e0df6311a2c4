#include "ProjectLock.h"

#include "Container.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qel {
namespace {

// Byte 0 is locked by saves (alone) and reads (shared), byte 1 by programs holding the
// project open (shared).
constexpr long long kSaveByte = 0;
constexpr long long kOpenByte = 1;

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

std::chrono::milliseconds TProjectLock::WaitLimit{5000};

TProjectLock::TProjectLock(const std::string& projectFile)
    : FFileName(ExtractFilePath(projectFile) + TContainer::BaseName(projectFile) + ".lock") {}

TProjectLock::~TProjectLock() { Release(); }

bool TProjectLock::LockAlone() {
  const TResult result = Acquire(F_WRLCK, kSaveByte, true);
  if (result != TResult::Busy) return result == TResult::Locked;
  const long long seconds = (WaitLimit.count() + 999) / 1000;
  throw EInOutError(EAGAIN, "Another program is saving or reading this project and has not finished within " +
                                std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
                                ". Nothing was changed; please try again in a moment. Lock file: " + FFileName);
}

void TProjectLock::ShareForReading() {
  if (FFd >= 0) SetLock(F_RDLCK, kSaveByte, false); // giving up a lock never waits
}

bool TProjectLock::HoldOpen(bool& openElsewhere) {
  openElsewhere = false;
  if (Acquire(F_RDLCK, kOpenByte, true) != TResult::Locked) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kOpenByte;
  probe.l_len = 1;
  openElsewhere = ::fcntl(FFd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  return true;
}

// Opens the lock file without following a link and locks the byte. A file removed by the
// last program that let it go is left for a new one.
TProjectLock::TResult TProjectLock::Acquire(short type, long long start, bool wait) {
  FProblem.clear();
  const std::string native = ToNativePath(FFileName);
  for (int attempt = 0; attempt < 100; ++attempt) {
    Release();
    FFd = ::open(native.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (FFd < 0 && type == F_RDLCK && (errno == EACCES || errno == EROFS))
      FFd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    struct stat st;
    if (FFd >= 0 && (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode))) {
      Release();
      FProblem = "The project's lock file cannot be used (it is not a plain file). Please remove it: " + FFileName;
      return TResult::None;
    }
    if (FFd < 0) {
      if (error == ELOOP || error == EISDIR)
        FProblem = std::string("The project's lock file cannot be used (it is a ") +
                   (error == ELOOP ? "symbolic link" : "folder") + "). Please remove it: " + FFileName;
      return TResult::None;
    }
    const TResult result = SetLock(type, start, wait);
    if (result != TResult::Locked) {
      Release();
      return result;
    }
    struct stat there;
    if (::lstat(native.c_str(), &there) == 0 && SameFile(st, there)) return TResult::Locked;
  }
  Release();
  return TResult::None;
}

// Busy when another program holds the byte past the wait; None when the file takes no locks.
TProjectLock::TResult TProjectLock::SetLock(short type, long long start, bool wait) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = 1;
  const auto until = std::chrono::steady_clock::now() + WaitLimit;
  for (;;) {
    if (::fcntl(FFd, F_OFD_SETLK, &lock) == 0) return TResult::Locked;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) return TResult::None;
    if (!wait || std::chrono::steady_clock::now() >= until) return TResult::Busy;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The last program to let the file go removes it: one that can lock the whole of it.
void TProjectLock::Release() {
  if (FFd < 0) return;
  struct flock all {};
  all.l_type = F_WRLCK;
  all.l_whence = SEEK_SET;
  struct stat mine, there;
  const std::string native = ToNativePath(FFileName);
  if (::fcntl(FFd, F_OFD_SETLK, &all) == 0 && ::fstat(FFd, &mine) == 0 && S_ISREG(mine.st_mode) &&
      mine.st_size == 0 && mine.st_nlink == 1 && ::lstat(native.c_str(), &there) == 0 && SameFile(mine, there))
    ::unlink(native.c_str());
  ::close(FFd);
  FFd = -1;
}

} // namespace qel
