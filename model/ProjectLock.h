#pragma once
// Locks that keep programs from mixing one project: a save (or the repair of an interrupted
// one) runs alone, reads wait for it, and a program that holds the project open is seen by
// the others. They are advisory locks on an empty file "<base>.lock" beside the data files,
// kept by the open file itself: two threads with a lock each exclude each other as two
// programs do, and a program that is killed leaves no lock behind. The file is removed when
// the last lock on it goes.
#include <chrono>
#include <string>

namespace qel {

class TProjectLock {
public:
  explicit TProjectLock(const std::string& projectFile);
  ~TProjectLock();
  TProjectLock(const TProjectLock&) = delete;
  TProjectLock& operator=(const TProjectLock&) = delete;
  const std::string& FileName() const { return FFileName; }

  // Alone with the project's files: no other save, repair or read meanwhile. Waits up to
  // WaitLimit for another program to finish; then raises EInOutError saying so. False (and
  // nothing locked) when there can be no lock: a folder that cannot be written (nobody saves
  // there either) or that takes no locks, or a lock file that is not ours (Problem says so).
  bool LockAlone();
  // From LockAlone to a lock that other reads share, with no save let in between.
  void ShareForReading();
  // Marks the project as open for as long as this lock lives; true when another program has
  // it open too. False when there can be no lock.
  bool HoldOpen(bool& openElsewhere);
  // Why a lock file that stands in the way is not one to use (a link, a folder); empty else.
  const std::string& Problem() const { return FProblem; }

  // How long a save or a load waits for another program's save (tests shorten it).
  static std::chrono::milliseconds WaitLimit;

private:
  enum class TResult { Locked, Busy, None };
  TResult Acquire(short type, long long start, bool wait);
  TResult SetLock(short type, long long start, bool wait);
  void Release();
  std::string FFileName;
  std::string FProblem;
  int FFd = -1;
};

} // namespace qel
