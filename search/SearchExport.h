#pragma once
// The hits of a search written as a new project. The export reads the project as the search
// left its pools (a filtered pool shows its hits, every other pool all its items), builds the
// new project apart and lets the model's writers write its data files; beside them it writes
// the index files that map the project's items to their numbers in the new project.
//
// Keys of sheets and notes are their places in their pools' full lists. The new project holds
// each note once, whatever its caption: the notes found, the notes on the sheets found and the
// notes of the attachments found (a search of the notes alone brings no other notes, while one
// that leaves the notes unfiltered brings them all). The attachments of exported notes go with
// them. An aggregation note whose sheet is not exported becomes an ordinary note. Positions and
// links go with their sheet when both their notes are exported.
#include "model/Container.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qel {

// One file of the export: the part of its name after the base, and its bytes.
struct TExportFile {
  std::string Suffix; // ".qel", or a data file's suffix such as "_Not"
  std::string Bytes;
};

class TSearchExport {
public:
  // Big: sheets, positions and links as well as notes and attachments.
  TSearchExport(const TContainer& project, bool big);
  TSearchExport(const TSearchExport&) = delete;
  TSearchExport& operator=(const TSearchExport&) = delete;

  // "ExBig" and "ImBig" ask for the big export; anything else for notes and attachments.
  static bool IsBigMode(std::string_view mode) { return mode == "ExBig" || mode == "ImBig"; }
  // The name of the export's file at base: the project file base + ".qel"; every other file
  // is named as that project's data files are, so the new project loads.
  static std::string FileName(const std::string& base, std::string_view suffix);
  // Whether a project of that name is in the folder: its project file or one of its data files.
  static bool ProjectExists(const std::string& base);
  // What is wrong with a folder and a file name for an export, or empty when they will do.
  // The name must not be blank, hold a full stop (the data files would be those of the project
  // named up to it) or a path separator; the folder must be given and exist.
  static std::string BaseProblem(const std::string& folder, const std::string& name);

  // The files in the order in which they are first written.
  const std::vector<TExportFile>& Files() const { return FFiles; }
  // Writes every file, replacing existing ones (also one named in another case). All or
  // nothing: raises EInOutError, and then no existing file has been replaced.
  // Step runs after each file, so a caller can keep its windows painted.
  void Write(const std::string& base, const std::function<void()>& step = {}) const;

private:
  void CopySheets();
  void CopyNotes();
  // One line of the notes index: the key, the note's fields, and no sheet.
  void AppendNoteLine(std::string& out, int key, const TNoteItem* note) const;
  void AddNote(const TNoteItem* note);
  void CopyPositions();
  void CopyRelations();
  void CopyLinks();
  void CopyAttachments();
  void AddFile(std::string suffix, std::string bytes);
  bool SheetVisible(const TSheetItem* sheet) const;
  bool NoteVisible(const TNoteItem* note) const;
  TNoteItem* NewNote(const TNoteItem* note) const;

  const TContainer& FSource;
  bool FBig;
  TContainer FTarget;
  std::vector<TSheetItem*> FSheets;                      // the exported sheets, in their new order
  std::unordered_map<const TPoolItem*, TPoolItem*> FNew; // exported item -> its copy
  std::vector<TExportFile> FFiles;
};

} // namespace qel
