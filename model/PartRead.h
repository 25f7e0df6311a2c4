#pragma once
// Reads data files of one record a line in parts on worker threads. The items are made
// apart from their pool and lists; the calling thread then takes them in, in file order, so
// that the pools and every dependency list end up as a reading line by line leaves them.
#include <atomic>
#include <cstddef>
#include <exception>
#include <span>
#include <string_view>
#include <vector>

namespace qel {

class TPool;
class TPoolItem;

class TPartRead {
public:
  // bytes must stay valid until the items are taken.
  TPartRead(TPool* pool, std::string_view bytes);
  // Frees the items not taken.
  ~TPartRead();
  TPartRead(const TPartRead&) = delete;
  TPartRead& operator=(const TPartRead&) = delete;

  // Reads every part of every file, on worker threads where there are several parts.
  static void ReadAll(std::span<TPartRead* const> files);
  // False when some line continues on the next one: the file must be read line by line.
  bool OneRecordALine() const { return FOneRecordALine; }
  // Takes the items into the pool in file order. At the first line that failed (when read or
  // when taken) raises its error; the items before it are taken, the rest freed.
  void TakeAll();
  // Enters the items the files took into their dependency lists, on worker threads; also
  // after a failed TakeAll. The files' lists must be apart (as of different pools).
  static void EnterLists(std::span<TPartRead* const> files);
  // The line (from 1) of the error TakeAll raised.
  int FailedLine() const { return FFailedLine; }

private:
  struct TPart {
    std::string_view Bytes;
    std::vector<TPoolItem*> Items; // one a line, in order
    std::exception_ptr Error;      // what stopped the part after its items
    int ErrorLine = 0;             // in the part, from 1
    size_t Taken = 0;
  };
  void Read(TPart& part);
  int LineOf(const TPart& part, int lineInPart) const;

  TPool* FPool;
  std::string_view FBytes;
  std::vector<TPart> FParts;
  std::vector<TPoolItem*> FTaken; // in the pool, not yet in their lists
  int FFailedLine = 0;
  std::atomic<bool> FOneRecordALine{true};
};

} // namespace qel
