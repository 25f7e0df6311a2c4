#pragma once
// The open project: its file name and folder, the grid flag and the ten pools.
#include "ContainerHost.h"
#include "Pools.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

class TContainer {
public:
  // An empty project "Noname.qel" in the current folder.
  TContainer();
  // Frees the pools and their items without deletion cascades or tree-node calls.
  ~TContainer();
  TContainer(const TContainer&) = delete;
  TContainer& operator=(const TContainer&) = delete;

  std::string FileName = "Noname.qel";
  IProgressBar* ProgressBar = nullptr;
  std::string Directory; // with its final separator
  bool Grid = false;
  IContainerHost* Host = nullptr;
  // Where the last load or import stopped on an error: the data file, and the line reached
  // in it (0 when the file could not be read at all).
  std::string FailedFile;
  int FailedLine = 0;
  // What the last load, import or save found of an earlier save that had been interrupted
  // and did about it (completed, undone, its unfinished files removed), in words for the
  // user; empty when nothing.
  std::string RecoveryNote;

  std::unique_ptr<TAttachPool> AttachPool;
  std::unique_ptr<TNotePool> NotePool;
  std::unique_ptr<TPosPool> PosPool;
  std::unique_ptr<TLinkPool> LinkPool;
  std::unique_ptr<TRelationPool> RelationPool;
  std::unique_ptr<TAttachTreePool> AttachTreePool;
  std::unique_ptr<TNoteTreePool> NoteTreePool;
  std::unique_ptr<TSheetTreePool> SheetTreePool;
  std::unique_ptr<TPosTreePool> PosTreePool;
  std::unique_ptr<TSheetPool> SheetPool;

  // The data files' suffixes: sheets, notes, relation types, positions, attachments, links.
  static constexpr std::array<std::string_view, 6> DataSuffixes = {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"};
  // Name part up to its first full stop.
  static std::string BaseName(const std::string& fileName);
  // Folder + base name + suffix + ".dat" for the project file name.
  static std::string DataFileName(const std::string& projectFile, std::string_view suffix);
  // The six data file names for the project file name.
  static std::array<std::string, 6> DataFileNames(const std::string& projectFile);

  // With the project's lock (TProjectLock), first completes or undoes a save of the project
  // that was interrupted (RecoveryNote; a journal it cannot act on raises, see TSaveJournal).
  // Appends the project's data files (sheets, notes, relation types, positions,
  // attachments, links), advancing the progress bar 1..6; then clears the modified flags.
  // Raises the readers' errors (also for a record whose identifier is not its place, see
  // CheckPlace, and for a file changed while it is read); what was read before an error stays.
  void Load(const std::string& projectFile);
  // Appends another project's items behind the own ones, references shifted by offsets
  // (the counts before the import, see ImportOffsets). All or nothing: on an error the
  // imported items are removed again and the error is raised. Leaves Directory alone and
  // the project modified.
  void Import(const std::string& projectFile, const TImportOffsets& offsets);
  TImportOffsets ImportOffsets() const;
  // Makes the project's folder current (creating it when needed), writes the six data files
  // and clears the modified flags. Raises EInOutError (a read-only data file is named in it);
  // the old files then stay as they were. Each file keeps its permissions; a data file that
  // is a symbolic link stays one, its target replaced. writeProjectFile, when given, runs
  // once the data files are known to be writable, before any of them is written, with the
  // project locked: a failure there writes nothing.
  void Save(const std::string& projectFile, const std::function<void()>& writeProjectFile = {});
  // Writes the six data files under the name only: folder, current folder and flags stay.
  // The project is locked alone for the whole save (another program's save or load waits,
  // see TProjectLock). Every file is written under a temporary name first and renamed when
  // all six are written, so that a save stopped at any point leaves the old project or the
  // new one; the pools' lists are compacted before its threads read them. Returns what it
  // found of an earlier save that had not finished (see RecoveryNote).
  std::string SaveDataFiles(const std::string& projectFile, const std::function<void()>& writeProjectFile = {});

  bool IsModified() const;
  void SetModified(bool value);
  void ClearFilters();
  void ResetViews();
  // Closes the holes that deletions left in the data pools' lists, before work is handed to
  // threads that read them.
  void CompactLists();
  // Drops every navigator tree-node entry without calls to the tree view.
  void ClearTreeNodes();

  // View-aware items and counts by kind.
  TAttachItem* GetAttachment(int i) const { return AttachPool->GetItem(i); }
  TNoteItem* GetNote(int i) const { return NotePool->GetItem(i); }
  TPosItem* GetPosition(int i) const { return PosPool->GetItem(i); }
  TLinkItem* GetLink(int i) const { return LinkPool->GetItem(i); }
  TSheetItem* GetSheet(int i) const { return SheetPool->GetItem(i); }
  TRelationItem* GetRelation(int i) const { return RelationPool->GetItem(i); }
  int AttachmentCount() const { return AttachPool->Count(); }
  int NoteCount() const { return NotePool->Count(); }
  int PositionCount() const { return PosPool->Count(); }
  int LinkCount() const { return LinkPool->Count(); }
  int SheetCount() const { return SheetPool->Count(); }
  int RelationCount() const { return RelationPool->Count(); }
  // The last link read with this load index, or null.
  TLinkItem* FindLinkByIndex(int index) const;

  // ---- operations on the project
  TAttachItem* AddAttachment(const TAttachment& record);
  TNoteItem* AddNote(const TNote& record);
  TPosItem* AddPosition(const TPos& record);
  TLinkItem* AddLink(const TLink& record); // the navigators are not told
  TSheetItem* AddSheet(const TSheet& record);
  TRelationItem* AddRelation(const TRelation& record);

  bool AssignNoteToSheet(TNoteItem* note, TSheetItem* sheet);
  bool PlaceNote(TNoteItem* note, TSheetItem* sheet, int32_t X, int32_t Y);
  void MoveResizeNote(int32_t X, int32_t Y, int32_t width, int32_t height, TNoteItem* note, TSheetItem* sheet);
  TAttachItem* CopyAttachment(const TAttachItem* attachment, TNoteItem* note);
  // Null when the project has no relation type (after telling the user) or an argument is null.
  TLinkItem* NewLink(TNoteItem* fromNote, TNoteItem* toNote, TRelationItem* relation, TSheetItem* sheet);
  // The link itself when the type is its own; otherwise a new link replaces it (the old one
  // is deleted). Null only for a null link.
  TLinkItem* ChangeLinkRelation(TLinkItem* link, TRelationItem* relation);
  // Deletes aggregation notes whose sheet is gone; gives the others their sheet's colour and name.
  void SyncAggregationNotes();
  // A note that stands for a sheet takes that sheet's name: renaming it renames the sheet,
  // and every note that stands for the sheet follows. Any other note is renamed alone.
  void RenameNote(TNoteItem* note, const std::string& name);
  // The sheet and every note that stands for it.
  void RenameSheet(TSheetItem* sheet, const std::string& name);

  TPosItem* FindPosition(const TNoteItem* note, const TSheetItem* sheet) const;
  bool LinkExists(const TNoteItem* fromNote, const TNoteItem* toNote, const TSheetItem* sheet,
                  const TRelationItem* relation) const;
  bool LinkShownOn(const TLinkItem* link, const TSheetItem* sheet) const;
  bool LinkIsOn(const TLinkItem* link, const TSheetItem* sheet) const;
  // The sheet's positions, the links between its notes and the aggregated links that may
  // reach it, brought up to date first when the project's lists changed since.
  const TSheetIndex& SheetIndex(const TSheetItem* sheet) const;
  // The links the sheet view draws to an aggregation note placed on the sheet.
  std::vector<TLinkItem*> AggregateLinks(const TNoteItem* note, const TSheetItem* sheet) const;
  bool IsAggregatedOn(const TSheetItem* sheet, const TSheetItem* targetSheet) const;
  int32_t UnplacedLinkedWidth(const TNoteItem* note, const TSheetItem* sheet) const;
  int32_t UnplacedLinkedCount(const TNoteItem* note, const TSheetItem* sheet) const;
  // Whether the item is among the pool's items as the view shows them. Pointers are only
  // compared, so a stale pointer is safe to ask about.
  bool HasNote(const TNoteItem* note) const { return NotePool->HasItem(note); }
  bool HasSheet(const TSheetItem* sheet) const { return SheetPool->HasItem(sheet); }
  bool HasAttachment(const TAttachItem* attachment) const { return AttachPool->HasItem(attachment); }

private:
  // The six data pools: attachments, notes, positions, links, sheets, relation types.
  std::array<TPoolItemList*, 6> DataPools() const;
  void ReadDataFiles(const std::string& projectFile, const TImportOffsets* import);

  void RemoveImported(const TImportOffsets& counts);
  template <class T> T* Announce(T* item);
};

} // namespace qel
