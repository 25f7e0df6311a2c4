#pragma once
// The journal of a save: which files it replaces by which complete temporary files. It is
// written and flushed once every temporary file is on disk, and removed after the last one
// is renamed into place. A save stopped at any point thus leaves the old files (no journal,
// or one cut short, which is undone), or a journal with which the save is completed.
// Renames only: no hard links are needed.
#include <string>
#include <string_view>
#include <vector>

namespace qel {

class TFileReplacement;

class TSaveJournal {
public:
  explicit TSaveJournal(const std::string& projectFile);
  const std::string& FileName() const { return FFileName; }

  // Writes the journal of the replacements, flushed with its folder; raises EInOutError.
  void Write(const std::vector<TFileReplacement>& files) const;
  // Completes the save the journal tells of, or undoes one whose journal is cut short, and
  // removes the journal. What was done, in words for the user; empty when there is no
  // journal. Raises EInOutError naming the journal when the folder cannot be put right.
  std::string Finish() const;
  bool Remove() const;

private:
  struct TEntry {
    std::string Target, Temp;
  };
  std::string Stored(const std::string& name) const;
  std::string Resolved(const std::string& stored) const;
  // The entries read, and whether the journal was whole.
  bool Read(std::string_view bytes, std::vector<TEntry>& entries) const;
  std::string FFolder;
  std::string FFileName;
};

} // namespace qel
