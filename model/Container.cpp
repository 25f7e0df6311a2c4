#include "Container.h"

#include "DataLines.h"
#include "KeptThreads.h"
#include "PartRead.h"
#include "ProjectLock.h"
#include "SaveJournal.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <future>
#include <malloc.h>
#include <set>
#include <system_error>

namespace qel {
namespace {

// Smaller files are read on the calling thread: starting threads would cost more.
constexpr size_t kReadInPartsFrom = 256 * 1024;

// What the save freed at the top of the main heap goes back to the system.
void ReleaseFreeMemory() {
#ifdef __GLIBC__
  ::malloc_trim(0);
#endif
}

} // namespace

TContainer::TContainer() : Directory(IncludeTrailingPathDelimiter(GetCurrentDir())) {
  AttachTreePool = std::make_unique<TAttachTreePool>();
  NoteTreePool = std::make_unique<TNoteTreePool>();
  SheetTreePool = std::make_unique<TSheetTreePool>();
  PosTreePool = std::make_unique<TPosTreePool>();
  AttachPool = std::make_unique<TAttachPool>();
  NotePool = std::make_unique<TNotePool>();
  PosPool = std::make_unique<TPosPool>();
  LinkPool = std::make_unique<TLinkPool>();
  SheetPool = std::make_unique<TSheetPool>();
  RelationPool = std::make_unique<TRelationPool>();

  AttachTreePool->SetPool(AttachPool.get());
  NoteTreePool->SetPool(NotePool.get());
  SheetTreePool->SetPool(SheetPool.get());
  PosTreePool->SetPool(PosPool.get());
  AttachPool->SetPools(NotePool.get(), AttachTreePool.get());
  NotePool->SetPools(AttachPool.get(), PosPool.get(), LinkPool.get(), SheetPool.get(), NoteTreePool.get());
  PosPool->SetPools(SheetPool.get(), NotePool.get(), PosTreePool.get());
  LinkPool->SetPools(SheetPool.get(), NotePool.get(), RelationPool.get());
  SheetPool->SetPools(PosPool.get(), LinkPool.get(), SheetTreePool.get());
  RelationPool->SetPools(LinkPool.get());
}

TContainer::~TContainer() {
  AttachTreePool.reset();
  NoteTreePool.reset();
  SheetTreePool.reset();
  PosTreePool.reset();
  AttachPool.reset();
  NotePool.reset();
  PosPool.reset();
  LinkPool.reset();
  SheetPool.reset();
  RelationPool.reset();
}

std::string TContainer::BaseName(const std::string& fileName) {
  std::string name = ExtractFileName(fileName);
  return name.substr(0, name.find('.'));
}

std::string TContainer::DataFileName(const std::string& projectFile, std::string_view suffix) {
  return ExtractFilePath(projectFile) + BaseName(projectFile) + std::string(suffix) + ".dat";
}

std::array<std::string, 6> TContainer::DataFileNames(const std::string& projectFile) {
  std::array<std::string, 6> names;
  size_t i = 0;
  for (std::string_view suffix : DataSuffixes) names[i++] = DataFileName(projectFile, suffix);
  return names;
}

namespace {

// The sheets index an export writes beside its sheets file; empty when there is none.
std::vector<int32_t> ExportedSheetKeys(const std::string& projectFile) {
  constexpr size_t kLongest = size_t(64) << 20;
  try {
    return TSheetPool::ReadKeyIndex(
        ReadPlainFile(FindFileNoCase(TContainer::DataFileName(projectFile, TSheetPool::KeyIndexSuffix)), kLongest));
  } catch (const std::exception&) {
    return {};
  }
}

} // namespace

void TContainer::ReadDataFiles(const std::string& projectFile, const TImportOffsets* import) {
  if (ProgressBar) {
    ProgressBar->SetRange(0, 6);
    ProgressBar->SetPosition(0);
  }
  const std::array<std::pair<TPool*, std::string_view>, 6> order = {{{SheetPool.get(), "_Sht"},
                                                                      {NotePool.get(), "_Not"},
                                                                      {RelationPool.get(), "_Rel"},
                                                                      {PosPool.get(), "_Pos"},
                                                                      {AttachPool.get(), "_Att"},
                                                                      {LinkPool.get(), "_Lnk"}}};
  FailedFile.clear();
  FailedLine = 0;
  // An interrupted save is completed or undone before anything is read, with the project to
  // itself; the files are then read while other programs may read them too, but not save.
  // A folder where there can be no lock (see TProjectLock) is read unlocked.
  TProjectLock lock(projectFile);
  TSaveJournal journal(projectFile);
  try {
    lock.LockAlone();
  } catch (...) {
    FailedFile = lock.FileName();
    throw;
  }
  try {
    RecoveryNote = journal.Recover();
  } catch (...) {
    FailedFile = !journal.Refused().empty() ? journal.Refused() : journal.FileName();
    throw;
  }
  lock.ShareForReading();
  SheetPool->SetKeys(ExportedSheetKeys(projectFile));
  struct TKeysGone {
    TSheetPool& Sheets;
    ~TKeysGone() { Sheets.SetKeys({}); }
  } keysGone{*SheetPool};
  // A plain load reads the big files in parts on worker threads: the notes first, then the
  // positions, attachments and links together (they refer to notes, sheets and relation
  // types). Every file's items are taken in the order above, and the first failure in that
  // order is the one reported, as when reading one file after the other.
  const bool inParts = !import && !AddOnLoad;
  struct TFile {
    std::string Name;
    std::unique_ptr<TFileBytes> Bytes;
    std::exception_ptr OpenError;
    std::unique_ptr<TPartRead> Parts;
  };
  int step = 0;
  std::string emptySheets;
  for (size_t first = 0; first < order.size();) {
    const size_t last = inParts && order[first].first == PosPool.get() ? order.size() : first + 1;
    std::vector<TFile> files(last - first);
    std::vector<TPartRead*> partReads;
    for (size_t i = first; i < last; ++i) {
      TFile& file = files[i - first];
      file.Name = DataFileName(projectFile, order[i].second);
      try {
        file.Bytes = std::make_unique<TFileBytes>(FindFileNoCase(file.Name));
      } catch (...) {
        file.OpenError = std::current_exception();
        break; // reported when its turn comes; the files after it are not needed
      }
      if (inParts && file.Bytes->View().size() >= kReadInPartsFrom && order[i].first->ReadsInParts()) {
        order[i].first->PrepareReadInParts();
        partReads.push_back((file.Parts = std::make_unique<TPartRead>(order[i].first, file.Bytes->View())).get());
      }
    }
    TPartRead::ReadAll(partReads);
    // In file order: a file read line by line is read now; the items read in parts are taken
    // at the end of the group, or at the first failure, with everything read before it.
    std::vector<TPartRead*> toTake;
    auto takeParts = [&toTake] {
      TPartRead::TakeAll(toTake);
      toTake.clear();
    };
    for (size_t i = first; i < last; ++i) {
      TFile& file = files[i - first];
      if (file.Parts && !file.Parts->OneRecordALine()) file.Parts.reset();
      TLineReader::ClearFailedLine();
      try {
        if (file.OpenError) std::rethrow_exception(file.OpenError);
        if (!file.Parts) {
          order[i].first->LoadFileBytes(file.Bytes->View(), import);
        } else {
          toTake.push_back(file.Parts.get());
          if (file.Parts->Failed()) {
            takeParts();
            file.Parts->RaiseError();
          }
        }
      } catch (...) {
        FailedFile = FindFileNoCase(file.Name);
        FailedLine = file.Parts ? file.Parts->FailedLine() : TLineReader::FailedLine();
        takeParts();
        // A file that fails after an empty sheets file most likely names sheets that are
        // gone: the sheets file is the damaged one.
        if (!emptySheets.empty()) {
          FailedFile = emptySheets;
          FailedLine = 0;
          throw Exception("The sheets file is empty, though the project's other files refer to its sheets");
        }
        throw;
      }
      if (order[i].first == SheetPool.get() && file.Bytes->View().empty()) emptySheets = FindFileNoCase(file.Name);
    }
    takeParts();
    for (size_t i = first; i < last; ++i)
      if (ProgressBar) ProgressBar->SetPosition(++step);
    first = last;
  }
}

void TContainer::Load(const std::string& projectFile) {
  Directory = ExtractFilePath(projectFile);
  ReadDataFiles(projectFile, nullptr);
  SetModified(false);
}

TImportOffsets TContainer::ImportOffsets() const {
  TImportOffsets o;
  o.Note = NotePool->AllCount();
  o.Sheet = SheetPool->AllCount();
  o.Attachment = AttachPool->AllCount();
  o.Relation = RelationPool->AllCount();
  o.Position = PosPool->AllCount();
  o.Link = LinkPool->AllCount();
  return o;
}

void TContainer::Import(const std::string& projectFile, const TImportOffsets& offsets) {
  const TImportOffsets before = ImportOffsets();
  try {
    ReadDataFiles(projectFile, &offsets);
  } catch (...) {
    RemoveImported(before);
    throw;
  }
}

// Deletes what a failed import added, newest kinds first, and restores the pools' flags.
void TContainer::RemoveImported(const TImportOffsets& counts) {
  const std::array<std::pair<TPool*, int32_t>, 6> pools = {{{LinkPool.get(), counts.Link},
                                                            {AttachPool.get(), counts.Attachment},
                                                            {PosPool.get(), counts.Position},
                                                            {RelationPool.get(), counts.Relation},
                                                            {NotePool.get(), counts.Note},
                                                            {SheetPool.get(), counts.Sheet}}};
  std::array<bool, 6> flags{};
  for (size_t i = 0; i < pools.size(); ++i) flags[i] = pools[i].first->Modified;
  for (auto [pool, count] : pools)
    while (pool->AllCount() > count) pool->GetAllItem(pool->AllCount() - 1)->Delete();
  for (size_t i = 0; i < pools.size(); ++i) pools[i].first->Modified = flags[i];
}

void TContainer::Save(const std::string& projectFile, const std::function<void()>& writeProjectFile) {
  std::string path = ExtractFilePath(projectFile);
  Directory = path;
  // An empty folder part is the current folder.
  if (!path.empty() && !SetCurrentDir(path) && !CreateDir(path) && Host)
    Host->ShowErrorBox("Error Creating Directory");
  RecoveryNote = SaveDataFiles(projectFile, writeProjectFile);
  SetModified(false);
}

// All six files or none: each is written to a temporary file flushed to disk; then the
// journal describing them is flushed, the files are renamed into place and the journal removed.
// A failure before the journal is on disk leaves the old files; one after it completes the
// save, here or at the next load or save.
std::string TContainer::SaveDataFiles(const std::string& projectFile,
                                      const std::function<void()>& writeProjectFile) {
  const std::array<std::pair<TPool*, std::string_view>, 6> order = {{{AttachPool.get(), "_Att"},
                                                                      {NotePool.get(), "_Not"},
                                                                      {PosPool.get(), "_Pos"},
                                                                      {LinkPool.get(), "_Lnk"},
                                                                      {SheetPool.get(), "_Sht"},
                                                                      {RelationPool.get(), "_Rel"}}};
  TProjectLock lock(projectFile);
  // Without a lock only where nothing can be saved, or locks are not kept.
  if (!lock.LockAlone() && !lock.Problem().empty()) throw EInOutError(EEXIST, lock.Problem());
  TSaveJournal journal(projectFile);
  std::string note = journal.Recover();
  // Made before anything is written: a protected file stops the save here.
  std::vector<TFileReplacement> files;
  files.reserve(order.size());
  for (const auto& [pool, suffix] : order) files.emplace_back(FindFileNoCase(DataFileName(projectFile, suffix)));
  if (writeProjectFile) writeProjectFile();
  // The six files' bytes are made on their own threads while the main thread writes and syncs
  // them in order. The pools are only read there; their lists close their holes first, here,
  // so that each look-up costs one step. A failure waits for every thread.
  CompactLists();
  bool journaled = false;
  try {
    std::array<std::future<std::pair<std::string, uint32_t>>, order.size()> bytes;
    const TWaitForAll<decltype(bytes)> waitForBytes{bytes};
    for (size_t i = 0; i < order.size(); ++i)
      bytes[i] = RunOnKeptThread(kSaveFileSlots + i, [pool = order[i].first] {
        std::string out = pool->SaveBytes();
        const uint32_t sum = TSaveJournal::Checksum(out);
        return std::pair(std::move(out), sum);
      });
    std::vector<TJournalEntry> entries;
    for (size_t i = 0; i < order.size(); ++i) {
      const auto [out, sum] = bytes[i].get();
      files[i].Write(out);
      entries.push_back({std::string(order[i].second), out.size(), sum});
    }
    journal.Write(entries);
    journaled = true;
    std::set<std::string> folders{ExtractFilePath(projectFile)};
    for (const TFileReplacement& file : files) {
      file.Commit();
      folders.insert(ExtractFilePath(file.Target()));
    }
    for (const std::string& folder : folders)
      if (!SyncFolder(folder)) RaiseInOutError(errno);
    if (!journal.Remove()) RaiseInOutError(errno);
  } catch (...) {
    if (!journaled) {
      for (const TFileReplacement& file : files) file.Discard();
      throw;
    }
    journal.Recover(); // when this fails too, the journal stays for the next load or save
  }
  ReleaseFreeMemory();
  return note;
}

std::array<TPoolItemList*, 6> TContainer::DataPools() const {
  return {AttachPool.get(), NotePool.get(), PosPool.get(), LinkPool.get(), SheetPool.get(), RelationPool.get()};
}

bool TContainer::IsModified() const {
  for (TPoolItemList* pool : DataPools())
    if (pool->IsModified()) return true;
  return false;
}

void TContainer::SetModified(bool value) {
  // Each item has its flag: big pools walk theirs on threads of their own.
  constexpr int kWalkApartFrom = 20000;
  std::vector<std::future<void>> walks;
  for (TPoolItemList* pool : DataPools()) {
    if (pool->AllCount() >= kWalkApartFrom) {
      try {
        walks.push_back(std::async(std::launch::async, [pool, value] { pool->SetModified(value); }));
        continue;
      } catch (const std::system_error&) {
        // no thread: walked here
      }
    }
    pool->SetModified(value);
  }
  for (std::future<void>& walk : walks) walk.get();
}

void TContainer::ClearFilters() {
  for (TPoolItemList* pool : DataPools()) pool->Filtered = false;
}

void TContainer::CompactLists() {
  for (TPoolItemList* pool : DataPools()) pool->Compact();
}

void TContainer::ResetViews() {
  for (TPoolItemList* pool : DataPools()) pool->ResetView();
}

void TContainer::ClearTreeNodes() {
  AttachTreePool->ClearNodes();
  NoteTreePool->ClearNodes();
  SheetTreePool->ClearNodes();
  PosTreePool->ClearNodes();
}

TLinkItem* TContainer::FindLinkByIndex(int index) const {
  TLinkItem* found = nullptr;
  for (int i = 0; i < LinkCount(); ++i)
    if (GetLink(i)->LoadIndex == index) found = GetLink(i);
  return found;
}

} // namespace qel
