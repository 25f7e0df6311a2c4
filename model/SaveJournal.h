#pragma once
// The journal of a save, "<base>_Save.journal" beside the data files. It says which of the
// project's six data files the save replaces (by their suffix, never by a path) and the size
// and checksum of each complete temporary file. It is made new and flushed once every
// temporary is on disk, and removed after the last one is renamed into place. A save stopped
// at any point thus leaves the old files (no journal, or one cut short: undone), or a journal
// with which the save is completed. The journal and every name it leads to are this project's
// own: a journal that says anything else, or that is not a plain file, is never acted on.
// Callers hold the project's lock (TProjectLock) alone.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

struct TJournalEntry {
  std::string Suffix; // "_Not", ...
  uint64_t Size = 0;
  uint32_t Checksum = 0;
};

class TSaveJournal {
public:
  explicit TSaveJournal(const std::string& projectFile);
  const std::string& FileName() const { return FFileName; }
  static uint32_t Checksum(std::string_view bytes);

  // Makes the journal new (never over another file or through a link), flushed with its
  // folder; raises EInOutError. A journal cut short by a failure is removed again.
  void Write(const std::vector<TJournalEntry>& entries) const;
  // Puts the folder right before a load or a save: completes or undoes the save the journal
  // tells of, or removes the temporaries of a save that stopped before it wrote its journal.
  // What was done, in words for the user; empty when there was nothing to do. A journal that
  // cannot be acted on is left as it is and nothing is touched: raises EInOutError naming it
  // (Refused() names the file), as it does when the folder cannot be put right.
  std::string Recover();
  bool Remove() const;
  // The file a refusal is about: the journal, or a file named like it in other letter case.
  const std::string& Refused() const { return FRefused; }

private:
  struct TFiles {
    std::string Target, Temp;
  };
  TFiles FilesOf(std::string_view suffix) const;
  std::string Complete(const std::vector<TJournalEntry>& entries);
  std::string Undo(const std::vector<TJournalEntry>& entries, bool cutShort) const;
  std::string RemoveLeftovers() const;
  void Close(std::set<std::string> folders) const;
  // Runs a step of putting the folder right; a failure says what could not be done and names
  // the file.
  static void Repair(std::string_view failure, const std::string& name, const std::function<void()>& step);
  [[noreturn]] void Refuse(const std::string& file, const std::string& why,
                           std::string_view advice = "If no save of this project was interrupted, remove this "
                                                     "file, then open or save the project again: ");
  std::string FProjectFile;
  std::string FFolder;
  std::string FFileName;
  std::string FRefused;
};

} // namespace qel
