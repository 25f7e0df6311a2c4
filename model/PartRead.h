#pragma once
// Reads data files of one record a line in parts on worker threads. The items are made
// apart from their pool and lists; they are then taken into both in file order, so that the
// pools and every dependency list end up as a reading line by line leaves them.
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
  // After ReadAll. False when some line continues on the next one: the file must be read
  // line by line.
  bool OneRecordALine() const { return FOneRecordALine; }
  // After ReadAll: whether a line failed, which (from 1), and its error raised again.
  bool Failed() const { return FError != nullptr; }
  int FailedLine() const { return FFailedLine; }
  [[noreturn]] void RaiseError() const { std::rethrow_exception(FError); }

  // Takes the items read into their pools and dependency lists, those of a file that failed
  // up to its failed line; the rest are freed with the reads. The files must be of different
  // pools. Works on worker threads: one appends each file's items to its pool, one fills
  // each kind of list of each file (no list is filled by two threads).
  static void TakeAll(std::span<TPartRead* const> files);

private:
  struct TPart {
    std::string_view Bytes;
    std::vector<TPoolItem*> Items; // one a line, in order
    std::exception_ptr Error;      // what stopped the part after its items
    int ErrorLine = 0;             // in the part, from 1
    bool OneRecordALine = true;
    bool EndOfFile = false; // holds the end-of-file mark
  };
  void Read(TPart& part);
  // Sets the items to take and the error, from the parts.
  void Collect();
  void Take() const;
  void EnterLists(size_t kind) const;

  TPool* FPool;
  std::string_view FBytes;
  std::vector<TPart> FParts;
  std::vector<TPoolItem*> FItems; // to take, in order
  bool FTaken = false;
  std::exception_ptr FError;
  int FFailedLine = 0;
  bool FOneRecordALine = true;
};

} // namespace qel
